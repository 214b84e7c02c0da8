// The SQLite index of stored reports. Thread-safe: one connection behind a mutex, since the
// server handles requests on a pool of threads.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

struct ReportRecord {
  std::string id;
  std::int64_t received = 0;  // Unix seconds
  std::string name;           // report name from the parameter block
  std::string signature;
  std::int64_t paramsSize = 0;
  std::int64_t file1Size = 0;
  std::int64_t file2Size = 0;
  std::string file1Sha256;
  std::string file2Sha256;
};

class ReportIndex {
 public:
  enum class AddResult { Added, Replay, Failed };

  ReportIndex() = default;
  ~ReportIndex();
  ReportIndex(const ReportIndex&) = delete;
  ReportIndex& operator=(const ReportIndex&) = delete;

  // Opens or creates the index file; false with `why` on failure.
  bool Open(const std::string& path, std::string& why);
  // Replay: a report with the same signature and the same two file digests is already there.
  AddResult Add(const ReportRecord& record);
  bool Remove(const std::string& id);
  std::vector<ReportRecord> List();

 private:
  std::mutex mutex_;
  sqlite3* db_ = nullptr;
};
