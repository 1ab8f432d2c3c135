// Profile files on Linux, read and written by the rules of the Windows
// profile functions (as Wine applies them): sections and keys are found
// without regard to the case of ASCII letters and with the blanks around
// names and values ignored, the first section of a name being the one used;
// a value in matching quotes is read without them; a new key goes at the end
// of its section, a new section at the end of the file; an existing value is
// replaced in its own line, written as key=value. Every line a write does
// not touch stays as it is; new and touched lines end in CR LF. A value is
// written without blanks around it: Wine keeps trailing blanks only until its
// next write of the file, and reads never return them.
//
// A file that starts with a byte order mark (UTF-8, UTF-16LE or UTF-16BE) is
// read in that encoding and written back in it, mark included; every other
// file is in the ANSI code page. A write changes the file in place, so it
// keeps its owner, mode and links, and needs no right to its folder.

#include "platform/Profile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/posix/Ansi.h"
#include "platform/posix/WinePath.h"

namespace platform {
namespace {

constexpr const char* kSystemFolder = "C:\\windows\\system32";
constexpr const char* kWindowsFolder = "C:\\windows\\";
constexpr const char* kLineEnd = "\r\n";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1a;
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  text = TrimLeft(text);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Wine compares profile names folding ASCII letters only: [\xC4SEC] is not
// [\xE4sec]. Bytewise, this holds for UTF-8 files as well.
bool SameName(std::string_view a, std::string_view b) {
  auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

struct Line {
  std::string text; // without its line end
  std::string end;  // "\r\n", "\n", "\r", or empty for a last line without one
};

enum class Kind { Blank, Section, Key, Other };

struct Parsed {
  Kind kind = Kind::Other;
  std::string_view name;  // section or key name, trimmed
  std::string_view value; // key value, trimmed
};

Parsed Parse(const std::string& text) {
  Parsed parsed;
  std::string_view line = Trim(text);
  if (line.empty()) {
    parsed.kind = Kind::Blank;
    return parsed;
  }
  if (line.front() == '[') {
    size_t close = line.find_last_of(']');
    if (close != std::string_view::npos) {
      parsed.kind = Kind::Section;
      parsed.name = Trim(line.substr(1, close - 1));
      return parsed;
    }
  }
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return parsed;
  parsed.kind = Kind::Key;
  parsed.name = Trim(line.substr(0, equals));
  parsed.value = Trim(line.substr(equals + 1));
  return parsed;
}

std::vector<Line> SplitLines(const std::string& bytes) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t stop = bytes.find_first_of("\r\n", start);
    if (stop == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    size_t next = stop + 1;
    if (bytes[stop] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
    lines.push_back({bytes.substr(start, stop - start), bytes.substr(stop, next - stop)});
    start = next;
  }
  return lines;
}

// Where a section's lines lie: its header and the line after its last one.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view name) {
  for (size_t i = 0; i < lines.size(); ++i) {
    Parsed header = Parse(lines[i].text);
    if (header.kind != Kind::Section || !SameName(header.name, name)) continue;
    size_t end = i + 1;
    while (end < lines.size() && Parse(lines[end].text).kind != Kind::Section)
      ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& span,
                              std::string_view key) {
  for (size_t i = span.header + 1; i < span.end; ++i) {
    Parsed entry = Parse(lines[i].text);
    if (entry.kind == Kind::Key && SameName(entry.name, key)) return i;
  }
  return std::nullopt;
}

// A name without any folder part lives in the Windows folder; every other
// path is taken as it is.
std::string ProfilePath(const std::string& fileName) {
  bool rooted = !fileName.empty() && (fileName[0] == '\\' || fileName[0] == '/');
  bool drive = fileName.size() >= 2 && fileName[1] == ':';
  if (!rooted && !drive && fileName.find_first_of("\\/") == std::string::npos)
    return kWindowsFolder + fileName;
  return fileName;
}

std::optional<std::string> ReadAll(const std::string& host) {
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char chunk[8192];
  for (;;) {
    ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return bytes;
}

// Writes the new content over the file's own (making it when it is missing)
// and cuts it to the new length.
bool WriteInPlace(const std::string& host, const std::string& bytes) {
  int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0)
      ok = false;
    else
      done += static_cast<size_t>(put);
  }
  ok = ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// A file's text and the encoding it was in. The text of a file with a byte
// order mark is kept in UTF-8, so that a write changes nothing but what it
// writes; names and values cross into it converted from the ANSI code page.
struct Content {
  Encoding encoding = Encoding::Ansi;
  std::string text;

  static Content Decode(std::string_view bytes) {
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts(kUtf8Mark)) return {Encoding::Utf8, std::string(bytes.substr(kUtf8Mark.size()))};
    if (starts(kUtf16LeMark))
      return {Encoding::Utf16Le, posix::Utf16ToUtf8(bytes.substr(kUtf16LeMark.size()), false)};
    if (starts(kUtf16BeMark))
      return {Encoding::Utf16Be, posix::Utf16ToUtf8(bytes.substr(kUtf16BeMark.size()), true)};
    return {Encoding::Ansi, std::string(bytes)};
  }

  std::string Encode(const std::string& newText) const {
    switch (encoding) {
    case Encoding::Utf8:
      return std::string(kUtf8Mark) + newText;
    case Encoding::Utf16Le:
      return std::string(kUtf16LeMark) + posix::Utf8ToUtf16(newText, false);
    case Encoding::Utf16Be:
      return std::string(kUtf16BeMark) + posix::Utf8ToUtf16(newText, true);
    case Encoding::Ansi:
      break;
    }
    return newText;
  }

  // A name or value of the caller's, in the file's text.
  std::string FromAnsi(std::string_view ansi) const {
    return encoding == Encoding::Ansi ? std::string(ansi) : posix::AnsiToUtf8(ansi);
  }
  std::string ToAnsi(std::string_view inText) const {
    return encoding == Encoding::Ansi ? std::string(inText) : posix::Utf8ToAnsi(inText);
  }
};

std::string Join(const std::vector<Line>& lines) {
  std::string bytes;
  for (const Line& line : lines)
    bytes += line.text + line.end;
  return bytes;
}

// The value as read: without matching quotes around it, cut to fit a buffer
// of `size` characters with its NUL.
std::string ValueFor(std::string_view value, uint32_t size) {
  bool quoted = value.size() > 1 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front();
  if (quoted) value.remove_prefix(1);
  std::string copy(value.substr(0, size - 1));
  // The closing quote goes only when the value had room in the buffer.
  if (quoted && size >= value.size() && !copy.empty()) copy.pop_back();
  return copy;
}

class PosixProfile final : public Profile {
public:
  uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, char* buffer, uint32_t size,
                                    const std::string& fileName) override {
    if (size == 0) return 0;
    std::string_view found = defaultValue;
    while (!found.empty() && found.back() == ' ')
      found.remove_suffix(1);
    std::string result(found.substr(0, size - 1));
    std::optional<std::string> bytes;
    try {
      posix::HostPath where = posix::Resolve(ProfilePath(fileName));
      if (where.exists && !where.isDirectory) bytes = ReadAll(where.path);
    } catch (const std::exception&) {
      // An unusable name reads as a missing file.
    }
    if (bytes) {
      Content content = Content::Decode(*bytes);
      std::vector<Line> lines = SplitLines(content.text);
      if (auto span = FindSection(lines, content.FromAnsi(Trim(section))))
        if (auto line = FindKey(lines, *span, content.FromAnsi(Trim(key))))
          result = ValueFor(content.ToAnsi(Parse(lines[*line].text).value), size);
    }
    std::memcpy(buffer, result.data(), result.size());
    buffer[result.size()] = '\0';
    return static_cast<uint32_t>(result.size());
  }

  bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& fileName) override {
    posix::HostPath where;
    try {
      where = posix::Resolve(ProfilePath(fileName));
    } catch (const std::exception&) {
      return false;
    }
    if (!where.driveFound || !where.parentExists || where.isDirectory) return false;
    Content content;
    if (where.exists) {
      struct stat st;
      // A file without write permission is read-only.
      if (::stat(where.path.c_str(), &st) != 0 || !(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)))
        return false;
      std::optional<std::string> bytes = ReadAll(where.path);
      if (!bytes) return false;
      content = Content::Decode(*bytes);
    }
    std::vector<Line> lines = SplitLines(content.text);
    std::string sectionName = content.FromAnsi(Trim(section));
    std::string keyName = content.FromAnsi(Trim(key));
    std::string newValue = content.FromAnsi(Trim(value));

    if (auto span = FindSection(lines, sectionName)) {
      if (auto at = FindKey(lines, *span, keyName)) {
        Parsed entry = Parse(lines[*at].text);
        if (entry.value == newValue && !lines[*at].end.empty()) return true; // already so
        lines[*at].text = std::string(entry.name) + "=" + newValue;
        if (lines[*at].end.empty()) lines[*at].end = kLineEnd;
      } else {
        size_t last = span->end - 1;
        while (last > span->header && Parse(lines[last].text).kind == Kind::Blank)
          --last;
        if (lines[last].end.empty()) lines[last].end = kLineEnd;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                     Line{keyName + "=" + newValue, kLineEnd});
      }
    } else {
      if (!lines.empty() && lines.back().end.empty()) lines.back().end = kLineEnd;
      lines.push_back(Line{"[" + sectionName + "]", kLineEnd});
      lines.push_back(Line{keyName + "=" + newValue, kLineEnd});
    }
    return WriteInPlace(where.path, content.Encode(Join(lines)));
  }

  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override {
    uint32_t length = static_cast<uint32_t>(std::strlen(kSystemFolder));
    if (size <= length) return length + 1;
    std::memcpy(buffer, kSystemFolder, length + 1);
    return length;
  }
};

} // namespace

std::shared_ptr<Profile> Profile::Native() {
  return std::make_shared<PosixProfile>();
}

} // namespace platform
