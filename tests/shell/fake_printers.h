#pragma once
// Printers for the detection cycle as a test sets them: a count, whether a path is kept,
// whether the ID is accepted.

#include <new>

#include "tavsetup/shell/detection_cycle.h"

namespace tav::test {

class FakePrinters : public setup::PrinterDetector {
  public:
    int Discover() override {
        ++discoveries;
        if (outOfMemory)
            throw std::bad_alloc();  // e.g. no memory for a device path
        return enumerationFails ? -1 : count;
    }
    bool HasDevicePath() override { return count >= 1 && pathKept; }
    bool CheckId() override {
        ++idChecks;
        return idAccepted;
    }

    int count = 0;
    bool pathKept = true;
    bool idAccepted = true;
    bool enumerationFails = false;
    bool outOfMemory = false;
    int discoveries = 0;
    int idChecks = 0;
};

}  // namespace tav::test
