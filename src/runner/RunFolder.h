// RunFolder: the folder a study writes into: choosing it without
// overwriting a previous run, the per-block observation files and the
// manifest. Not thread-safe.
#ifndef VELMOR_RUNNER_RUNFOLDER_H
#define VELMOR_RUNNER_RUNFOLDER_H

#include <string>
#include <vector>

#include "Cell.h"
#include "StudyRecord.h"

namespace velmor_runner {

// What the manifest says of the run beyond the cells.
struct RunDescription {
  std::vector<std::string> command;  // the runner's own argv
  std::string simulatorPath;
  std::string simulatorHash;  // sha256 of the executable
  std::string runnerVersion;
  uint64_t seed = 0;
  std::string generator;
  std::string launcher;
  std::string simtest;  // SIMTEST as set for the run; empty: unset
  bool simtestSet = false;
  long blockSize = 0;
  long fixedReplications = 0;
  long minReplications = 0;
  long maxReplications = 0;
  int jobs = 1;
  double runnerCpuSeconds = 0.0;     // the runner's own processor time
  double simulatorCpuSeconds = 0.0;  // its children's, simulators above all
  std::string started;               // UTC, ISO 8601
  std::string ended;
};

class RunFolder {
 public:
  // Chooses the folder: `wanted` itself when it does not exist or holds no
  // run; with force, `wanted` after removing its previous run's files;
  // otherwise the first of wanted-2, wanted-3, ... that is free. False with
  // `error` set when it cannot be made.
  bool Open(const std::string& wanted, bool force, std::string* error);
  const std::string& Path() const { return path; }
  // True when Open chose another folder than the one asked for.
  bool Moved() const { return moved; }

  // The block file's name within the folder ("blocks/e0-p0-b00003.bin").
  static std::string BlockFileName(int experiment, int point, int block);
  // Writes a block's observation messages behind the binary results
  // file's header, so that every results reader takes it.
  bool WriteBlock(const Cell& cell, const BlockData& block, std::string* error) const;
  bool WriteManifest(const RunDescription& run, const StudyRecord& record,
                     std::string* error) const;

 private:
  std::string path;
  bool moved = false;
};

// The sha256 of a file in hex (by the system's sha256sum); empty on failure.
std::string FileHash(const std::string& file);
// Now, UTC, as 2024-01-31T12:00:00Z.
std::string UtcNow();

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_RUNFOLDER_H
