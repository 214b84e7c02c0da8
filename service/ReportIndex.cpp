#include "service/ReportIndex.h"

#include <sqlite3.h>

namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS reports ("
    " id TEXT PRIMARY KEY,"
    " received INTEGER NOT NULL,"
    " name TEXT NOT NULL,"
    " signature TEXT NOT NULL,"
    " params_size INTEGER NOT NULL,"
    " file_1_size INTEGER NOT NULL,"
    " file_2_size INTEGER NOT NULL,"
    " file_1_sha256 TEXT NOT NULL,"
    " file_2_sha256 TEXT NOT NULL,"
    " UNIQUE (signature, file_1_sha256, file_2_sha256))";

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  ~Statement() { sqlite3_finalize(stmt); }
};

std::string Text(sqlite3_stmt* stmt, int column) {
  const unsigned char* text = sqlite3_column_text(stmt, column);
  return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(stmt, column)) : std::string();
}

}  // namespace

ReportIndex::~ReportIndex() { sqlite3_close(db_); }

bool ReportIndex::Open(const std::string& path, std::string& why) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    why = db_ ? sqlite3_errmsg(db_) : "cannot open the index";
    return false;
  }
  sqlite3_busy_timeout(db_, 5000);
  char* error = nullptr;
  if (sqlite3_exec(db_, kSchema, nullptr, nullptr, &error) != SQLITE_OK) {
    why = error ? error : "cannot create the index";
    sqlite3_free(error);
    return false;
  }
  return true;
}

ReportIndex::AddResult ReportIndex::Add(const ReportRecord& r) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement s;
  if (sqlite3_prepare_v2(db_,
                         "INSERT INTO reports (id, received, name, signature, params_size, file_1_size, file_2_size,"
                         " file_1_sha256, file_2_sha256) VALUES (?,?,?,?,?,?,?,?,?)",
                         -1, &s.stmt, nullptr) != SQLITE_OK)
    return AddResult::Failed;
  sqlite3_bind_text(s.stmt, 1, r.id.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_int64(s.stmt, 2, r.received);
  sqlite3_bind_text(s.stmt, 3, r.name.data(), static_cast<int>(r.name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_text(s.stmt, 4, r.signature.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_int64(s.stmt, 5, r.paramsSize);
  sqlite3_bind_int64(s.stmt, 6, r.file1Size);
  sqlite3_bind_int64(s.stmt, 7, r.file2Size);
  sqlite3_bind_text(s.stmt, 8, r.file1Sha256.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(s.stmt, 9, r.file2Sha256.c_str(), -1, SQLITE_TRANSIENT);
  int rc = sqlite3_step(s.stmt);
  if (rc == SQLITE_DONE) return AddResult::Added;
  if (sqlite3_extended_errcode(db_) == SQLITE_CONSTRAINT_UNIQUE) return AddResult::Replay;
  return AddResult::Failed;
}

bool ReportIndex::Remove(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement s;
  if (sqlite3_prepare_v2(db_, "DELETE FROM reports WHERE id = ?", -1, &s.stmt, nullptr) != SQLITE_OK) return false;
  sqlite3_bind_text(s.stmt, 1, id.c_str(), -1, SQLITE_TRANSIENT);
  return sqlite3_step(s.stmt) == SQLITE_DONE;
}

std::vector<ReportRecord> ReportIndex::List() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<ReportRecord> records;
  Statement s;
  if (sqlite3_prepare_v2(db_,
                         "SELECT id, received, name, signature, params_size, file_1_size, file_2_size,"
                         " file_1_sha256, file_2_sha256 FROM reports ORDER BY received, rowid",
                         -1, &s.stmt, nullptr) != SQLITE_OK)
    return records;
  while (sqlite3_step(s.stmt) == SQLITE_ROW) {
    ReportRecord r;
    r.id = Text(s.stmt, 0);
    r.received = sqlite3_column_int64(s.stmt, 1);
    r.name = Text(s.stmt, 2);
    r.signature = Text(s.stmt, 3);
    r.paramsSize = sqlite3_column_int64(s.stmt, 4);
    r.file1Size = sqlite3_column_int64(s.stmt, 5);
    r.file2Size = sqlite3_column_int64(s.stmt, 6);
    r.file1Sha256 = Text(s.stmt, 7);
    r.file2Sha256 = Text(s.stmt, 8);
    records.push_back(std::move(r));
  }
  return records;
}
