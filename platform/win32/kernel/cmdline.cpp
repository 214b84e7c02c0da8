#include "platform/win32/kernel/cmdline.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <list>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/kernel/codepage.h"
#include "platform/win32/kernel/error.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The program name follows its own rule: up to the next quote when it starts with one,
// else up to the first blank; no escapes. A quote in it cannot be carried and is dropped.
std::u16string QuoteProgram(const std::u16string& arg) {
  std::u16string clean;
  for (char16_t c : arg)
    if (c != u'"') clean.push_back(c);
  bool plain = !clean.empty();
  for (char16_t c : clean)
    if (IsBlank(c)) plain = false;
  return plain ? clean : u"\"" + clean + u"\"";
}

// Quotes an argument so the backslash-and-quote rules give it back unchanged.
std::u16string QuoteArgument(const std::u16string& arg) {
  bool plain = !arg.empty();
  for (char16_t c : arg)
    if (IsBlank(c) || c == u'"' || c == u'\n' || c == u'\v') plain = false;
  if (plain) return arg;
  std::u16string out = u"\"";
  size_t slashes = 0;
  for (char16_t c : arg) {
    if (c == u'\\') {
      ++slashes;
      continue;
    }
    if (c == u'"') {
      out.append(slashes * 2 + 1, u'\\');
    } else {
      out.append(slashes, u'\\');
    }
    slashes = 0;
    out.push_back(c);
  }
  out.append(slashes * 2, u'\\');  // they stand before the closing quote
  out.push_back(u'"');
  return out;
}

std::u16string JoinArguments(const std::vector<std::u16string>& args) {
  std::u16string line;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line.push_back(u' ');
    line += i == 0 ? QuoteProgram(args[i]) : QuoteArgument(args[i]);
  }
  return line;
}

struct CommandLineStore {
  std::mutex lock;
  // Earlier lines stay alive: callers may still hold the pointer GetCommandLineW gave them.
  std::list<std::u16string> lines;
};

CommandLineStore& Store() {
  static CommandLineStore* store = new CommandLineStore;  // never destroyed, like the real one
  return *store;
}

std::vector<std::u16string> ArgumentsFromProc() {
  std::vector<std::u16string> args;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    args.push_back(bp::kernel::DecodeUtf8(std::string_view(all).substr(start, end - start)));
    start = end + 1;
  }
  return args;
}

std::u16string ProgramPath() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return u"";
  return bp::kernel::DecodeUtf8(std::string_view(buffer.data(), static_cast<size_t>(n)));
}

std::vector<std::u16string> Split(std::u16string_view line) {
  std::vector<std::u16string> args;
  size_t i = 0, n = line.size();
  // The program name.
  std::u16string first;
  if (i < n && line[i] == u'"') {
    ++i;
    while (i < n && line[i] != u'"') first.push_back(line[i++]);
    if (i < n) ++i;
  } else {
    while (i < n && !IsBlank(line[i])) first.push_back(line[i++]);
  }
  args.push_back(first);
  while (true) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i >= n) break;
    std::u16string arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(line[i]))) {
      if (line[i] == u'\\') {
        size_t slashes = 0;
        while (i < n && line[i] == u'\\') ++slashes, ++i;
        if (i < n && line[i] == u'"') {
          arg.append(slashes / 2, u'\\');
          if (slashes % 2 == 1) {
            arg.push_back(u'"');
            ++i;
          }
        } else {
          arg.append(slashes, u'\\');
        }
        continue;
      }
      if (line[i] == u'"') {
        if (quoted && i + 1 < n && line[i + 1] == u'"') {
          arg.push_back(u'"');  // a doubled quote inside quotes stands for one
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg.push_back(line[i++]);
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace

namespace bp::kernel {

void SetCommandLine(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) args.push_back(DecodeUtf8(argv[i]));
  std::u16string line = JoinArguments(args);
  CommandLineStore& store = Store();
  std::lock_guard<std::mutex> guard(store.lock);
  store.lines.push_back(std::move(line));
}

}  // namespace bp::kernel

LPWSTR GetCommandLineW() {
  CommandLineStore& store = Store();
  std::lock_guard<std::mutex> guard(store.lock);
  if (store.lines.empty()) store.lines.push_back(JoinArguments(ArgumentsFromProc()));
  return store.lines.back().data();
}

LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* numArgs) {
  if (numArgs == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<std::u16string> args;
  if (commandLine == nullptr || commandLine[0] == 0) {
    args.push_back(ProgramPath());
  } else {
    args = Split(commandLine);
  }
  // One block: the pointer array, then every argument with its terminator.
  size_t bytes = (args.size() + 1) * sizeof(LPWSTR);
  for (const auto& a : args) bytes += (a.size() + 1) * sizeof(WCHAR);
  auto* block = static_cast<unsigned char*>(std::malloc(bytes));
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto** table = reinterpret_cast<LPWSTR*>(block);
  auto* text = reinterpret_cast<WCHAR*>(block + (args.size() + 1) * sizeof(LPWSTR));
  for (size_t i = 0; i < args.size(); ++i) {
    table[i] = text;
    std::memcpy(text, args[i].data(), args[i].size() * sizeof(WCHAR));
    text[args[i].size()] = 0;
    text += args[i].size() + 1;
  }
  table[args.size()] = nullptr;
  *numArgs = static_cast<int>(args.size());
  return table;
}

HLOCAL LocalFree(HLOCAL memory) {
  std::free(memory);
  return nullptr;
}
