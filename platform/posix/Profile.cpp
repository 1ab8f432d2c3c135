// Profile files on Linux, read and written by the rules of the Windows
// profile functions as Wine applies them. A file is taken in as a list of
// sections, the first one unnamed (the keys before the first header), each a
// list of keys with or without a value; every line is read without the
// blanks around it, blank lines are dropped, and so are the blanks around a
// key's name and value. Sections and keys are found without regard to the
// case of ASCII letters and with the blanks around the asked-for names
// ignored, the first one of a name being the one used; a value in matching
// quotes is read without them. A write that changes anything writes the
// whole file back in that layout: each section's header (none for an
// unnamed one) and its keys as key=value, every line ended by CR LF. A new
// section goes at the end of the file, a new key at the end of its section;
// their names, and the value written, lose their leading blanks but keep
// their trailing ones (until the next write reads the file again).
//
// A file that starts with a byte order mark (UTF-8, UTF-16LE or UTF-16BE) is
// read in that encoding and written back in it, mark included; every other
// file is in the ANSI code page. A UTF-16 file's odd last byte reads as one
// more character, U+0000 to U+00FF; in a UTF-8 file, bytes that are no
// UTF-8 read as U+FFFD. A write changes the file in place, so it
// keeps its owner, mode and links, and needs no right to its folder.

#include "platform/Profile.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/posix/Ansi.h"
#include "platform/posix/HostFiles.h"
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

// Names and values end at a NUL, as the kernel's strings do.
std::string_view CutAtNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

struct Key {
  std::string name;
  std::optional<std::string> value; // none for a line without '='
};

struct Section {
  std::string name; // empty for the keys before the first header
  std::vector<Key> keys;
};

// The sections of a file's text. A line that starts with '[' and holds a
// ']' is a section header, named by what lies between the '[' and the last
// ']'. Every other line is a key, up to its first '=' if it has one; a key
// without a name is dropped when the key before it in its section has none
// either.
std::vector<Section> Load(std::string_view text) {
  std::vector<Section> sections(1);
  bool havePrevious = false;
  bool previousUnnamed = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) stop = text.size();
    std::string_view line = Trim(text.substr(start, stop - start));
    start = stop + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      size_t close = line.find_last_of(']');
      if (close != std::string_view::npos) {
        sections.push_back({std::string(CutAtNul(Trim(line.substr(1, close - 1)))), {}});
        havePrevious = false;
        continue;
      }
    }
    Key key;
    std::string_view name = line;
    size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      name = line.substr(0, equals);
      while (!name.empty() && IsBlank(name.back()))
        name.remove_suffix(1);
      key.value = std::string(CutAtNul(TrimLeft(line.substr(equals + 1))));
    }
    if (name.empty() && havePrevious && previousUnnamed) continue;
    key.name = std::string(CutAtNul(name));
    havePrevious = true;
    previousUnnamed = key.name.empty();
    sections.back().keys.push_back(std::move(key));
  }
  return sections;
}

std::string Save(const std::vector<Section>& sections) {
  std::string text;
  for (const Section& section : sections) {
    if (!section.name.empty()) text += "[" + section.name + "]" + kLineEnd;
    for (const Key& key : section.keys) {
      text += key.name;
      if (key.value) text += "=" + *key.value;
      text += kLineEnd;
    }
  }
  return text;
}

// The first section of the asked-for name: the unnamed one for an empty or
// blank name.
Section* FindSection(std::vector<Section>& sections, std::string_view name) {
  name = Trim(name);
  for (Section& section : sections)
    if (SameName(section.name, name)) return &section;
  return nullptr;
}

Key* FindKey(Section& section, std::string_view name) {
  name = Trim(name);
  for (Key& key : section.keys)
    if (SameName(key.name, name)) return &key;
  return nullptr;
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

enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// A UTF-8 file's text as Wine decodes it: each byte or run of bytes that
// is no UTF-8 becomes U+FFFD. A lead byte takes as many of the following
// continuation bytes as fit the character it starts, and those it took stay
// with it when the character turns out not to be one (too long a form, a
// surrogate, beyond U+10FFFF); a sequence cut by the end of the file makes
// one U+FFFD of all that is left.
std::string ValidUtf8(std::string_view bytes) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  std::string text;
  text.reserve(bytes.size());
  size_t i = 0;
  auto continuation = [&](size_t at, uint32_t& value) {
    unsigned bits = static_cast<unsigned char>(bytes[at]) ^ 0x80u;
    if (bits >= 0x40) return false;
    value = value << 6 | bits;
    return true;
  };
  while (i < bytes.size()) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    size_t start = i++;
    if (lead < 0x80) {
      text += static_cast<char>(lead);
      continue;
    }
    size_t following = lead >= 0xC2 && lead <= 0xDF   ? 1
                       : lead >= 0xE0 && lead <= 0xEF ? 2
                       : lead >= 0xF0 && lead <= 0xF4 ? 3
                                                      : 0;
    if (following > 0 && i + following > bytes.size()) {
      text += kReplacement;
      break;
    }
    uint32_t value = lead & (following == 1 ? 0x1Fu : following == 2 ? 0x0Fu : 0x07u);
    bool valid = following > 0;
    if (valid && following == 3) {
      valid = continuation(i, value);
      if (valid) ++i;
      valid = valid && value >= 0x10;
    }
    if (valid && following >= 2) {
      valid = continuation(i, value) && value < (0x110000 >> 6);
      if (valid) ++i;
      valid = valid && value >= 0x20 && !(value >= (0xD800 >> 6) && value <= (0xDFFF >> 6));
    }
    if (valid) {
      valid = continuation(i, value);
      if (valid) ++i;
      valid = valid && value >= 0x80;
    }
    if (valid)
      text.append(bytes.substr(start, i - start));
    else
      text += kReplacement;
  }
  return text;
}

// A file's text and the encoding it was in. The text of a file with a byte
// order mark is kept in UTF-8, so that a write changes nothing but what it
// writes; names and values cross into it converted from the ANSI code page.
struct Content {
  Encoding encoding = Encoding::Ansi;
  std::string text;

  static Content Decode(std::string_view bytes) {
    auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (starts(kUtf8Mark)) return {Encoding::Utf8, ValidUtf8(bytes.substr(kUtf8Mark.size()))};
    if (starts(kUtf16LeMark))
      return {Encoding::Utf16Le, FromUtf16(bytes.substr(kUtf16LeMark.size()), false)};
    if (starts(kUtf16BeMark))
      return {Encoding::Utf16Be, FromUtf16(bytes.substr(kUtf16BeMark.size()), true)};
    return {Encoding::Ansi, std::string(bytes)};
  }

  // The odd last byte of a UTF-16 text is the low byte of a character
  // whose high byte is zero, in either byte order.
  static std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string text = posix::Utf16ToUtf8(bytes.substr(0, bytes.size() & ~size_t{1}), bigEndian);
    if (bytes.size() % 2 != 0) {
      char pair[2] = {bytes.back(), '\0'};
      if (bigEndian) std::swap(pair[0], pair[1]);
      text += posix::Utf16ToUtf8(std::string_view(pair, 2), bigEndian);
    }
    return text;
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
      if (where.exists && !where.isDirectory) bytes = posix::ReadWholeFile(where.path);
    } catch (const std::exception&) {
      // An unusable name reads as a missing file.
    }
    if (bytes) {
      Content content = Content::Decode(*bytes);
      std::vector<Section> sections = Load(content.text);
      if (Section* found = FindSection(sections, content.FromAnsi(CutAtNul(section))))
        if (Key* entry = FindKey(*found, content.FromAnsi(CutAtNul(key))))
          if (entry->value) result = ValueFor(content.ToAnsi(*entry->value), size);
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
      // A file without write permission is read-only.
      if (!posix::WritableByMode(where.path)) return false;
      std::optional<std::string> bytes = posix::ReadWholeFile(where.path);
      if (!bytes) return false;
      content = Content::Decode(*bytes);
    }
    std::vector<Section> sections = Load(content.text);
    Section* target = FindSection(sections, content.FromAnsi(CutAtNul(section)));
    if (!target) {
      sections.push_back({content.FromAnsi(TrimLeft(CutAtNul(section))), {}});
      target = &sections.back();
    }
    Key* entry = FindKey(*target, content.FromAnsi(CutAtNul(key)));
    if (!entry) {
      target->keys.push_back({content.FromAnsi(TrimLeft(CutAtNul(key))), std::nullopt});
      entry = &target->keys.back();
    }
    std::string newValue = content.FromAnsi(TrimLeft(CutAtNul(value)));
    if (entry->value == newValue) return true; // already so: the file stays as it is
    entry->value = std::move(newValue);
    return posix::WriteWholeFileInPlace(where.path, content.Encode(Save(sections)));
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
