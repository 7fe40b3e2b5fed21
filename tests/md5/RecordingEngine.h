#pragma once

#include "Md5Engine.h"

#include <functional>
#include <vector>

// An engine that remembers every progress value and can run a hook at each one.
class CRecordingEngine : public CMd5Engine {
public:
    std::vector<int> progress;
    std::function<void(int call, int percent)> onProgress;

protected:
    void OnProgress(int percent) override
    {
        progress.push_back(percent);
        if (onProgress)
            onProgress(static_cast<int>(progress.size()), percent);
    }
};
