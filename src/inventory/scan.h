// The inventory scan: reads the Uninstall keys of one machine (both machine-wide views and every
// loaded user hive) through a registry source and hands each program it keeps to a sink, in scan
// order. Every decision (what was read, what was refused, what was lost, when to stop) is made
// here, from the statuses the source gives.
#pragma once

#include "common/text.h"
#include "inventory/registry_source.h"
#include "inventory/scan_outcome.h"
#include "inventory/software.h"

// Where a scan's results go.
class ScanSink {
  public:
    // Each kept entry, as it is found.
    virtual void Found(SoftwareEntry entry) = 0;
    // Called after every program key and hive name, so that the sink's owner can keep its
    // window alive. False stops the scan at once.
    [[nodiscard]] virtual bool BetweenKeys() = 0;

  protected:
    ~ScanSink() = default;
};

// Scans the registry of computerName ("." for this machine, or a checked name) through registry
// and says how it ended:
// - completed: with the users whose hives refused to be read, and, when the machine's list of
//   profiles was read to its end, the signed-out users whose programs it could not include;
// - connection lost: another machine went away midway; the scan made no call after the read
//   that found it gone, and the entries found so far were handed over (not one whose values the
//   loss cut short);
// - nothing read: nothing at all could be read from another machine, with the status that
//   refused it when its registry answered (0 when no connection could be made);
// - stopped by the sink.
[[nodiscard]] ScanOutcome InventoryScan(TextView computerName, RegistrySource& registry,
                                        ScanSink& sink);
