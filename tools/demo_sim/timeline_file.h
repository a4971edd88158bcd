#pragma once
// The timeline written to a file beside the executable ("<exe name>-timeline.txt").

#include <windows.h>

#include <string>

#include "tools/demo_sim/timeline.h"

namespace tav::demo {

class TimelineFile : public Timeline {
  public:
    TimelineFile();
    ~TimelineFile() override;
    TimelineFile(const TimelineFile&) = delete;
    TimelineFile& operator=(const TimelineFile&) = delete;

    void Note(const std::string& kind, const std::string& detail) override;

  private:
    HANDLE m_file;
    DWORD m_start;
};

// UTF-16 window text as UTF-8, with tabs and line breaks escaped so that it stays one line.
std::string TimelineText(const std::wstring& text);

}  // namespace tav::demo
