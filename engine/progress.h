// The progress display of a calculation, as the engine sees it. The window system supplies a real one
// (the progress dialog); without it every call does nothing.
#pragma once

class EngineProgress {
public:
    virtual ~EngineProgress() = default;
    // Shows the display without a parent window; false when it cannot.
    virtual bool Create() { return true; }
    // Percent the bar advances per StepIt.
    virtual void SetStep(int step) {}
    // Advances the bar (and lets pending window messages through); returns the previous position.
    virtual int StepIt() { return 0; }
    virtual void SetStatus(const char* text) {}
    virtual void Destroy() {}
};

// The display in use (a no-op one unless another was installed).
EngineProgress& Progress();
// Installs a display that the caller keeps alive; nullptr returns to the no-op one. Returns the previous.
EngineProgress* SetProgress(EngineProgress* progress);
