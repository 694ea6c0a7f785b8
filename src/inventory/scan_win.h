// The inventory scan: reads the Uninstall keys of one machine (both machine-wide views and every
// loaded user hive) and hands each program it keeps to a sink, in scan order.
#pragma once

#include "common/text.h"
#include "inventory/scan_outcome.h"
#include "inventory/software.h"

// Where a scan's results go.
class ScanSink {
  public:
    // Each kept entry, as it is found.
    virtual void Found(SoftwareEntry entry) = 0;
    // Called after every program key and hive name, so that the sink's owner can keep its
    // window alive. False stops the scan at once.
    virtual bool BetweenKeys() = 0;

  protected:
    ~ScanSink() = default;
};

// Scans computerName ("." for this machine, or a checked name) and says how it ended: completed
// (with how many signed-out users' programs it could not include), cut short when another
// machine's registry stopped answering midway (the entries found so far were handed over),
// nothing read at all from another machine, or stopped by the sink.
ScanOutcome InventoryScan(TextView computerName, ScanSink& sink);
