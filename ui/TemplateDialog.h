#pragma once

#include "DialogTemplate.h"

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

// A dialog built from a template, the way the Windows dialog manager builds one: controls in
// template order (which is also their tab order and, first on top, their stacking), positions
// and sizes in dialog units of the dialog's font, and controls reached by identifier.
class CTemplateDialog : public QDialog {
    Q_OBJECT
public:
    CTemplateDialog(const DialogTemplate& dialogTemplate, QWidget* parent);
    ~CTemplateDialog() override;

    // Creates the window's controls and runs OnInitDialog, once. Then runs the dialog modally.
    int DoModal();
    // The creation half of DoModal, for a dialog that is shown without a modal loop.
    void Create();

    QWidget* GetDlgItem(int id) const;
    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);
    void ShowDlgItem(int id, bool show);

    // Template order, every control including those without an identifier.
    const std::vector<QWidget*>& Controls() const { return m_controls; }
    const DialogTemplate& Template() const { return m_template; }

    // Dialog units to pixels with this dialog's font, rounded as MulDiv rounds.
    QRect MapDialogRect(int x, int y, int cx, int cy) const;

    // The template's face where the machine has it, else a Song-style CJK face, else any CJK face.
    static QFont DialogFont(const DialogTemplate& dialogTemplate);

protected:
    // The widget for a control; a subclass returns its own member widgets for the controls it
    // attaches to. The layer then gives it its place, text and style.
    virtual QWidget* CreateControl(const DialogItemTemplate& item);
    virtual void OnInitDialog() {}
    // A push button was clicked: the dialog's command map. By default OK accepts, Cancel rejects.
    virtual void OnCommand(int id);
    // Sees every event of the application before it is delivered; true swallows it.
    virtual bool PreTranslateMessage(QObject* receiver, QEvent* event);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void ApplyTemplate(QWidget* widget, const DialogItemTemplate& item);

    const DialogTemplate& m_template;
    QFont m_font;
    int m_baseUnitX;
    int m_baseUnitY;
    std::vector<QWidget*> m_controls;
    bool m_created = false;
};
