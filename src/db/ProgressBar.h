// What the script runner and the workflows need of a progress bar.
#pragma once

class IProgressBar {
  public:
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPos(int position) = 0;

  protected:
    ~IProgressBar() = default;
};
