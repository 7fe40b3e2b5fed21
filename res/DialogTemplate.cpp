#include "res/DialogTemplate.h"

#include "res/ProgramVersion.h"
#include "res/resource.h"

namespace {

using B = ControlClass;
constexpr std::uint32_t kPushButton = 0x50010000;  // visible child, tab stop
constexpr std::uint32_t kLabel = 0x50020000;       // visible child, starts a group

}  // namespace

const DialogTemplate& MainDialogTemplate()
{
    static const DialogTemplate dialog{
        IDD_MAIN,
        0x90CA00C0,
        Style::kExAppWindow | Style::kExAcceptFiles,
        274,
        280,
        // The title is the dialog's own text, "1.1beta" included: a new version in CMakeLists.txt
        // changes the About box and the version resource, never this title.
        "Zanfo文件诊所MD5值计算工具1.1beta",
        "宋体",
        9,
        {
            {IDC_PATH, B::Edit, "", 0x50810080, 66, 46, 133, 13},
            {IDC_BROWSE, B::Button, "浏览文件", kPushButton, 205, 45, 50, 14},
            {IDC_CALC, B::Button, "计算", kPushButton, 163, 87, 35, 14},
            {IDC_ABOUT, B::Button, "关 于", kPushButton, 168, 244, 34, 14},
            {IDOK, B::Button, "退 出", kPushButton, 214, 244, 40, 14},
            {IDC_MD5, B::Edit, "", 0x50810880, 66, 66, 133, 13},
            {IDC_STATIC, B::Static, "MD5值：", kLabel, 27, 68, 33, 8},
            {IDC_STATIC, B::Button, "", 0x50000007, 10, 4, 257, 268},
            {IDC_STATIC, B::Static, "文件路径：", kLabel, 23, 48, 41, 8},
            {IDC_PROGRESS, B::Progress, "Progress1", 0x50800001, 23, 88, 130, 14},
            {IDC_STATIC, B::Static, "2.点击“查询MD5值”可直接在Zanfo文件诊所查询文件安全与否", kLabel, 23, 31, 237, 8},
            {IDC_STATIC, B::Static, "1.您可以通过“浏览文件”方式或直接拖动文件到此窗体查询MD5值", kLabel, 23, 19, 240, 8},
            {IDC_SITE_LINK, B::Static, "访问Zanfo文件诊所", kLabel, 24, 246, 65, 8},
            {IDC_QUERY, B::Button, "查询MD5值", kPushButton, 205, 65, 49, 14},
            {IDC_STATIC, B::Button, "文件详细信息", 0x50000007, 24, 105, 231, 128},
            {IDC_STATIC, B::Static, "文件大小：", kLabel, 33, 136, 41, 8},
            {IDC_FILE_SIZE, B::Static, "", kLabel, 95, 135, 117, 8},
            {IDC_STATIC, B::Static, "文件名称：", kLabel, 34, 121, 41, 8},
            {IDC_FILE_NAME, B::Static, "", kLabel, 96, 121, 117, 8},
            {IDC_STATIC, B::Static, "产品名称：", kLabel, 33, 152, 41, 8},
            {IDC_PRODUCT_NAME, B::Static, "", kLabel, 96, 151, 117, 8},
            {IDC_STATIC, B::Static, "出品公司：", kLabel, 33, 169, 41, 8},
            {IDC_COMPANY, B::Static, "", kLabel, 95, 168, 117, 8},
            {IDC_STATIC, B::Static, "产品版本：", kLabel, 34, 188, 41, 8},
            {IDC_PRODUCT_VERSION, B::Static, "", kLabel, 96, 187, 117, 8},
            {IDC_STATIC, B::Static, "产品描述：", kLabel, 33, 207, 41, 8},
            {IDC_DESCRIPTION, B::Static, "", kLabel, 95, 205, 117, 8},
        },
    };
    return dialog;
}

const DialogTemplate& AboutDialogTemplate()
{
    static const DialogTemplate dialog{
        IDD_ABOUTBOX,
        0x80C800C0,
        0,
        235,
        77,
        "关于MD5值计算工具",
        "宋体",
        9,
        {
            {IDC_STATIC, B::Static, "#128", 0x50000003, 11, 17, 20, 20},
            {IDC_STATIC, B::Static, "Copyright (C) 2026 Zanfo", 0x50020080, 38, 30, 175, 8},
            {IDC_STATIC, B::Static, "版本号：v" ZANFO_VERSION_DOTTED, kLabel, 38, 17, 119, 8},
            {IDOK, B::Button, "确定", 0x50030001, 169, 47, 50, 14},
            {IDC_STATIC, B::Static, "", kLabel, 40, 39, 119, 8},
            {IDC_STATIC, B::Static, "", kLabel, 40, 62, 119, 8},
            {IDC_STATIC, B::Static, "", kLabel, 40, 49, 119, 8},
        },
    };
    return dialog;
}
