// A scripted run of profile writes and reads, MakePath, FileExists and
// shell copies in one folder, printing every read, every result (zero or
// not), which folders exist and the bytes of every resulting file. The same
// program is built for Linux and for Windows; run in each, the outputs must
// be equal (ini_matches_windows compares them).
//
//   profile_script <folder as a Windows path> <the same folder for fopen>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ini/cINI.h"
#include "platform/Profile.h"
#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "sys/SystemRoutines.h"

namespace fs = std::filesystem;

namespace {

std::string win;  // the folder, as the routines see it
std::string host; // the folder, as the C++ library sees it
char sep = '/';

std::string W(const std::string& relative) {
  return win + "\\" + relative;
}

std::string H(std::string relative) {
  for (char& c : relative)
    if (c == '\\') c = sep;
  return host + sep + relative;
}

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c >= 0x20 && c < 0x7f)
      out += static_cast<char>(c);
    else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

void Seed(const std::string& relative, const std::string& bytes) {
  std::ofstream out(fs::path(H(relative)), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Dump(const std::string& relative) {
  std::ifstream in(fs::path(H(relative)), std::ios::binary);
  if (!in) {
    std::cout << "  file " << relative << ": missing\n";
    return;
  }
  std::ostringstream content;
  content << in.rdbuf();
  std::cout << "  file " << relative << ": " << Escaped(content.str()) << "\n";
}

// A large file: its length, a checksum of all of it, and its last bytes.
void DumpLarge(const std::string& relative) {
  std::ifstream in(fs::path(H(relative)), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  const std::string bytes = content.str();
  uint32_t sum = 2166136261u;
  for (unsigned char c : bytes)
    sum = (sum ^ c) * 16777619u;
  std::cout << "  file " << relative << ": " << bytes.size() << " bytes, checksum " << sum
            << ", ending " << Escaped(bytes.substr(bytes.size() > 40 ? bytes.size() - 40 : 0))
            << "\n";
}

void Folder(const std::string& relative) {
  std::cout << "  folder " << relative << ": "
            << (fs::is_directory(fs::path(H(relative))) ? "yes" : "no") << "\n";
}

cINI ini;

void Write(const std::string& file, const std::string& section, const std::string& key,
           const std::string& value) {
  bool issued = ini.INIWrite(W(file), section, key, value);
  std::cout << "  write [" << section << "] " << key << "=" << Escaped(value) << ": "
            << (issued ? "issued" : "skipped") << "\n";
}

void Read(const std::string& file, const std::string& section, const std::string& key) {
  std::cout << "  read [" << section << "] " << key << " = '"
            << Escaped(ini.INIRead(W(file), section, key)) << "'\n";
}

// A read with a buffer larger than the object's, to see whole long values.
void ReadLong(const std::string& file, const std::string& section, const std::string& key) {
  std::vector<char> buffer(300, ' ');
  uint32_t n = platform::profile().GetPrivateProfileStringA(section, key, "dflt", buffer.data(),
                                                            300, W(file));
  std::cout << "  read300 [" << section << "] " << key << " = " << n << " '"
            << Escaped(std::string(buffer.data(), n)) << "'\n";
}

// A write through the profile layer itself, blanks, empty names and all,
// with the result it gives.
void RawWrite(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
  bool ok = platform::profile().WritePrivateProfileStringA(section, key, value, W(file));
  std::cout << "  raw write [" << Escaped(section) << "] '" << Escaped(key) << "'='"
            << Escaped(value) << "': " << ok << "\n";
}

void Title(const std::string& text) {
  std::cout << "== " << text << "\n";
}

void Profiles() {
  Title("new file");
  Write("new.ini", "Main", "Key", "Value");
  Write("new.ini", "main", "KEY2", "two words");
  Write("new.ini", "Other", "k", "v");
  Write("new.ini", "MAIN", "key", "Changed");
  Read("new.ini", "main", "key");
  Read("new.ini", "MAIN", "key2");
  Read("new.ini", "other", "K");
  Read("new.ini", "Main", "absent");
  Read("new.ini", "Absent", "key");
  Read("missing.ini", "Main", "Key");
  Dump("new.ini");

  Title("empty file");
  Seed("empty.ini", "");
  Read("empty.ini", "s", "k");
  Write("empty.ini", "s", "k", "v");
  Dump("empty.ini");

  Title("existing sections and keys in other letter case");
  Seed("case.ini", "[Settings]\r\nName=Alpha\r\nCount=3\r\n[Extra]\r\nx=1\r\n");
  Write("case.ini", "SETTINGS", "NAME", "Beta");
  Write("case.ini", "settings", "New", "val");
  Write("case.ini", "EXTRA", "X", "2");
  Write("case.ini", "extra", "y", "3");
  Write("case.ini", "Third", "z", "4");
  Read("case.ini", "settings", "name");
  Read("case.ini", "SETTINGS", "COUNT");
  Read("case.ini", "Settings", "new");
  Read("case.ini", "Extra", "x");
  Dump("case.ini");

  Title("values with blanks, = and ;");
  const std::string long89(89, 'L');
  Write("values.ini", "V", "blanks", "a b  c");
  Write("values.ini", "V", "equals", "x=y=z");
  Write("values.ini", "V", "semi", "semi;colon ; more");
  Write("values.ini", "V", "lead", "   lead");
  Write("values.ini", "V", "trail", "trail   ");
  Write("values.ini", "V", "dq", "\"quoted\"");
  Write("values.ini", "V", "sq", "'single'");
  Write("values.ini", "V", "half", "\"half");
  Write("values.ini", "V", "long", long89);
  Write("values.ini", "V", "empty", "");
  for (const char* key :
       {"blanks", "equals", "semi", "lead", "trail", "dq", "sq", "half", "long", "empty"})
    Read("values.ini", "v", key);
  ReadLong("values.ini", "V", "long");
  ReadLong("values.ini", "V", "empty");
  Dump("values.ini");

  Title("keys not yet present");
  Seed("keys.ini", "[A]\r\na1=1\r\n[B]\r\nb1=1\r\n[C]\r\nc1=1\r\n");
  Write("keys.ini", "B", "b2", "2");
  Write("keys.ini", "A", "a2", "2");
  Write("keys.ini", "C", "c2", "2");
  Write("keys.ini", "b", "B3", "3");
  Read("keys.ini", "B", "b3");
  Read("keys.ini", "A", "a2");
  Dump("keys.ini");

  Title("last section without a final line break");
  Seed("lastline.ini", "[A]\r\nk=1\r\n[B]\r\nz=2");
  Read("lastline.ini", "B", "z");
  Write("lastline.ini", "B", "y", "3");
  Write("lastline.ini", "A", "k", "4");
  Read("lastline.ini", "b", "Y");
  Dump("lastline.ini");
  Seed("lastline2.ini", "[A]\r\nk=1");
  Write("lastline2.ini", "a", "K", "5");
  Dump("lastline2.ini");
  Seed("lastline3.ini", "[A]\r\nk=1");
  Write("lastline3.ini", "New", "n", "1");
  Dump("lastline3.ini");

  Title("many sections");
  for (int round = 0; round < 3; ++round)
    for (int s = 0; s < 25; ++s)
      Write("many.ini", "Section" + std::to_string(s), "Key" + std::to_string(round),
            std::to_string(s * 10 + round));
  for (int s = 0; s < 25; s += 6)
    Read("many.ini", "SECTION" + std::to_string(s), "key2");
  Dump("many.ini");

  // A write puts the whole file in the profile functions' own layout.
  Title("other layouts");
  Seed("odd.ini", "; comment\r\n\r\n[ Odd ]\r\n  Key  =  spaced value  \r\nnoequals\r\n;c=d\r\n"
                  "\r\n[Lf]\nk=lf\n[Dup]\nd=1\n[dup]\nd=2\ne=3\n");
  Read("odd.ini", "odd", "key");
  Read("odd.ini", "odd", "noequals");
  Read("odd.ini", "odd", ";c");
  Read("odd.ini", "lf", "k");
  Read("odd.ini", "dup", "d");
  Read("odd.ini", "dup", "e");
  Write("odd.ini", "Odd", "KEY", "new");
  Write("odd.ini", "Odd", "added", "a");
  Write("odd.ini", "lf", "k2", "more");
  Write("odd.ini", "dup", "e", "4");
  Read("odd.ini", "odd", "key");
  Read("odd.ini", "odd", "added");
  Read("odd.ini", "lf", "k");
  Read("odd.ini", "lf", "k2");
  Read("odd.ini", "dup", "e");
  Read("odd.ini", "dup", "d");
  Dump("odd.ini");

  // One write into each layout: blank lines and the blanks around lines go,
  // a header's name is what lies between '[' and the last ']', a line
  // without '=' is a key without a value, a key without a name is dropped
  // after another one, names and values end at a NUL; a write that changes
  // nothing leaves the file alone.
  Title("layouts after one write");
  struct Layout {
    std::string before, section, key, value;
  };
  const std::vector<Layout> layouts = {
      {"[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n", "A", "x", "1"},
      {"[A]\r\na=1\r\n\r\n[B]\r\nb=1\r\n", "B", "x", "1"},
      {"[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=1\r\n", "B", "b", "2"},
      {"\r\n[A]\r\n\r\na=1\r\n\r\n", "A", "a", "2"},
      {"[A]\r\na=1\r\n\r\n; c\r\n\r\n[B]\r\n", "A", "x", "2"},
      {"[A]\r\n;c\r\na=1\r\nnoeq\r\n=v\r\n==\r\n", "A", "a", "2"},
      {"[A]\r\na=1\r\n[a]\r\nb=2\r\n", "a", "b", "3"},
      {"[A]\ra=1\rb=2", "A", "c", "3"},
      {"[A]\ra=1\r\nb=2\n\n", "A", "c", "3"},
      {"  [A]  \r\n  a = 1  \r\n", "A", "a", "2"},
      {"  [A]  \r\n  a = 1  \r\n", "a", "A", "1"},
      {"[A] junk\r\na=1\r\n", "A", "a", "2"},
      {"[A\r\na=1\r\n", "A", "a", "2"},
      {"[A]]\r\na=1\r\n", "A]", "a", "2"},
      {"[ A ]\r\na\t=\t1\t\r\n", "A", "b", "2"},
      {"[A]\r\na\r\n", "A", "a", "2"},
      {"x\r\n\r\n", "A", "a", "1"},
      {"[A]\r\n\x0B"
       "a\x0C=\x1A"
       "1\x0B\r\n\x1A",
       "A", "c", "3"},
      {"[A]\r\n\x1C"
       "a=1\x1F\r\n\xA0"
       "b=\xA0\r\n",
       "A", "c", "3"},
      {std::string("[A]\r\na=1\0junk\r\nb\0=2\r\n\0\r\n\0\r\n", 28), "A", "c", "3"},
      {std::string("[A]\r\n=1\r\n=2\r\n\0\r\nb=2\r\n", 21), "A", "c", "3"},
      {std::string("[A\0B]\r\na\0x=1\r\n", 14), "a", "A", "2"},
      {"[S]\r\nk=v\r\n", "S", "", "v"},
      {"[S]\r\n=a\r\n", "S", "", "v"},
      {"[A]\r\nb=2\r\n", "A", "c", "\r\n3\r\nd=4"},
      {"\xEF\xBB\xBF[A]\r\na=\xFF\xC3\r\n", "A", "b", "2"},
      {"\xEF\xBB\xBF[A]\r\na=\xF0\x80\x80\x80|\xC0\xAF|\xC1\x80|\xF4\x90\x80\x80|\xE0\x80\x80|"
       "\xE0\x9F\xBF|\xED\xA0\x80|\xF5\x80|\x80\xBF|\xF0\x90\x80\x80|\xED\x9F\xBF|\xEE\x80\x80|"
       "\xF8\x88\x80\x80\x80|\xE2\x82x|\xF0\x9F\x98x\r\n",
       "A", "b", "2"},
      {"\xEF\xBB\xBF[A]\r\na=1\r\nz\xF0\x41\x42", "A", "b", "2"},
      {"\xEF\xBB\xBF[A]\r\na=1\r\nz\xE2\x82", "A", "b", "2"},
      {std::string("\xFF\xFE[\0A\0]\0\r\0\n\0a\0=\0\0\xD8x\0\r\0\n\0", 24), "A", "b", "2"},
  };
  for (size_t i = 0; i < layouts.size(); ++i) {
    std::string file = "layout" + std::to_string(i) + ".ini";
    Seed(file, layouts[i].before);
    std::cout << "  before: " << Escaped(layouts[i].before) << "\n";
    RawWrite(file, layouts[i].section, layouts[i].key, layouts[i].value);
    Dump(file);
  }

  // A written name or value loses its leading blanks and keeps its trailing
  // ones; reads, and the next write, take the file without them.
  Title("blanks around written names and values");
  RawWrite("blanks.ini", "S", " key ", " val ");
  Dump("blanks.ini");
  for (const char* key : {"key", " key ", "key "})
    ReadLong("blanks.ini", "S", key);
  RawWrite("blanks.ini", "S", "other", "x");
  Dump("blanks.ini");
  RawWrite("blanks.ini", " Sec\t", "\tk ", "v\t");
  Dump("blanks.ini");
  ReadLong("blanks.ini", "sec", "K");
  Seed("blanks2.ini", "[S]\r\nkey=old\r\nk2=two\r\n");
  RawWrite("blanks2.ini", "S", "key", "new  ");
  Dump("blanks2.ini");
  RawWrite("blanks2.ini", "s", " KEY  ", "  x ");
  Dump("blanks2.ini");
  RawWrite("blanks2.ini", "S", "k2", "two ");
  Dump("blanks2.ini");
  RawWrite("blanks2.ini", "S", "k3 ", "three");
  Dump("blanks2.ini");
  // The same value but for blanks: a change only when the trimmed value in
  // the file differs from the written one without its leading blanks.
  int sameRound = 0;
  for (const char* value : {"v", "v ", " v", "\tv"}) {
    std::string file = "same" + std::to_string(++sameRound) + ".ini";
    Seed(file, "[S]\r\nkey=v  \r\n");
    RawWrite(file, "S", "key", value);
    Dump(file);
  }
  Write("values.ini", "V", "trail", "trail   ");
  Dump("values.ini");

  // The empty section name stands for the keys before the first header.
  Title("keys before the first section");
  Seed("top.ini", "a=1\r\nb=2\r\n[S]\r\nk=v\r\n");
  for (const char* key : {"a", "b", "k"})
    ReadLong("top.ini", "", key);
  ReadLong("top.ini", "  ", "a");
  RawWrite("top.ini", "", "c", "3");
  Dump("top.ini");
  RawWrite("top.ini", "", "A", "9");
  RawWrite("top.ini", " ", "d", "4");
  Dump("top.ini");
  RawWrite("top-new.ini", "", "x", "1");
  Dump("top-new.ini");
  RawWrite("top-new.ini", "S", "k", "v");
  RawWrite("top-new.ini", "", "y", "2");
  Dump("top-new.ini");
  ReadLong("top-new.ini", "", "y");
  ReadLong("top-new.ini", "S", "y");
  int topRound = 0;
  for (const std::string& before :
       {std::string("[S]\r\nk=v\r\n"), std::string("\r\n\r\n[S]\r\nk=v"),
        std::string("; c\r\n\r\n[S]\r\nk=v\r\n"), std::string("[]\r\nz=1\r\n[S]\r\nk=v\r\n"),
        std::string("\r\n"), std::string("")}) {
    std::string file = "top" + std::to_string(++topRound) + ".ini";
    Seed(file, before);
    std::cout << "  before: " << Escaped(before) << "\n";
    ReadLong(file, "", "z");
    ReadLong(file, "", "; c");
    RawWrite(file, "", "x", "1");
    Dump(file);
    ReadLong(file, "", "z");
  }

  // Files with a byte order mark are read in their encoding and written back
  // in it, ANSI names and values converted at the boundary.
  Title("UTF-8 and UTF-16 files");
  const std::string utf8 = "\xEF\xBB\xBF";
  Seed("utf8.ini", utf8 + "[Sec]\r\nk=v\r\n");
  Read("utf8.ini", "Sec", "k");
  Write("utf8.ini", "Sec", "k2", "w");
  Write("utf8.ini", "sec", "k", "\xC4\xFF\x80");
  Read("utf8.ini", "SEC", "k");
  Dump("utf8.ini");
  // Characters outside the ANSI code page read as '?' and survive a write.
  Seed("utf8b.ini", utf8 + "[Sec]\r\nk=\xC3\x84\xE2\x82\xAC\xE4\xB8\x80\r\n[B]\r\nx=1\r\n");
  Read("utf8b.ini", "Sec", "k");
  Write("utf8b.ini", "B", "y", "2");
  Write("utf8b.ini", "New", "n", "\xE9");
  Dump("utf8b.ini");
  auto utf16 = [](const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
      bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
  };
  for (bool bigEndian : {false, true}) {
    std::string file = bigEndian ? "utf16be.ini" : "utf16le.ini";
    Seed(file, utf16("[Sec]\r\nk=v\r\n", bigEndian));
    Read(file, "Sec", "k");
    Write(file, "Sec", "k2", "w\xC4");
    Write(file, "Other", "o", "\x80");
    Read(file, "sec", "K2");
    Read(file, "other", "o");
    Dump(file);
  }
  // An odd last byte is one more character: here a key without a value.
  // Windows reads it with the byte after the file's end as its high byte:
  // memory it has not set, unless the file is so large that it gets a new
  // block of its own, which is all zeros. So these files are that large.
  const std::string padding = "pad=" + std::string(300000, 'p') + "\r\n";
  for (bool bigEndian : {false, true}) {
    const std::string odd = bigEndian ? "odd16be" : "odd16le";
    Seed(odd + "1.ini", utf16("[Sec]\r\nk=v\r\n" + padding, bigEndian) + "A");
    Read(odd + "1.ini", "Sec", "k");
    Read(odd + "1.ini", "Sec", "A");
    Write(odd + "1.ini", "Sec", "k2", "w");
    DumpLarge(odd + "1.ini");
    Seed(odd + "2.ini", utf16("[Sec]\r\nk=v\r\n" + padding, bigEndian) + "\x80");
    Write(odd + "2.ini", "sec", "k", "x");
    DumpLarge(odd + "2.ini");
    Seed(odd + "3.ini", utf16(padding, bigEndian) + "A");
    Write(odd + "3.ini", "S", "k", "v");
    DumpLarge(odd + "3.ini");
  }
  Seed("markonly8.ini", utf8);
  Seed("markonly16.ini", "\xFF\xFE");
  for (const char* file : {"markonly8.ini", "markonly16.ini"}) {
    Read(file, "S", "k");
    Write(file, "S", "k", "v");
    Dump(file);
  }

  Title("letter case outside ASCII");
  Seed("accents.ini", "[\xC4SEC]\r\n\xFFkey=1\r\n");
  Read("accents.ini", "\xC4SEC", "\xFFkey");
  Read("accents.ini", "\xE4sec", "\xFFkey");
  Read("accents.ini", "\xC4SEC", "\x9Fkey");
  Read("accents.ini", "\xC4sec", "\xFFKEY");
  Write("accents.ini", "\xE4sec", "\xFFkey", "2");
  Dump("accents.ini");

  // A write changes the file itself: a second name of it sees the change.
  Title("hard link");
  Seed("linked.ini", "[L]\r\nk=1\r\n");
  fs::create_hard_link(fs::path(H("linked.ini")), fs::path(H("second.ini")));
  Write("linked.ini", "L", "k", "2");
  Dump("second.ini");
}

void Object() {
  Title("cINI in mode 3 and mode 0");
  cINI object;
  object.Command(3);
  object.FilePath(W("objdir"));
  object.FileName("Object.ini");
  std::cout << "  exists " << object.Exists() << "\n";
  Folder("objdir");
  object.Section("General");
  object.DataSave("First", "1");
  object.Item("Second");
  object.Data("two 2");
  object.Data("");
  std::cout << "  data '" << object.Data() << "' retrieve '" << object.DataRetrieve("none", 7)
            << "'\n";
  for (double number : {0.3, 1E+20, 1E-07, 1234567890123456.0, -0.5, 1.5E-5})
    std::cout << "  retrieve " << object.DataRetrieve("none", number) << " "
              << object.DataRetrieve("none", static_cast<float>(number)) << "\n";
  Dump("objdir\\Object.ini");
  cINI direct;
  direct.FullPath(W("objdir\\Object.ini"));
  direct.Section("general");
  std::cout << "  direct '" << direct.DataRetrieve("FIRST", "x") << "'\n";
}

void Paths() {
  Title("MakePath and FileExists");
  auto make = [](const std::string& relative) {
    try {
      SystemRoutines::MakePath(W(relative));
      std::cout << "  MakePath " << relative << ": ok\n";
    } catch (const RuntimeError& error) {
      std::cout << "  MakePath " << relative << ": error " << error.Number() << "\n";
    }
  };
  make("mk\\a\\b\\c");
  make("mk\\a\\b\\c");
  make("mk\\t\\");
  Seed("mk\\a\\file", "x");
  make("mk\\a\\file\\under");
  for (const char* f :
       {"mk", "mk\\a", "mk\\a\\b", "mk\\a\\b\\c", "mk\\t", "mk\\a\\file", "mk\\a\\file\\under"})
    Folder(f);
  for (const char* f : {"mk\\a\\file", "mk\\a\\nofile", "mk\\a", "nofolder\\x", "new.ini"})
    std::cout << "  FileExists " << f << ": " << SystemRoutines::FileExists(W(f)) << "\n";
}

void Copies() {
  Title("shell copies");
  auto copy = [](const std::string& from, const std::string& to) {
    int32_t result = SystemRoutines::ShellFileOperation(0, platform::FO_COPY, 0x90, W(from), W(to));
    std::cout << "  copy " << from << " -> " << to << ": " << (result == 0 ? "zero" : "non-zero")
              << "\n";
  };
  std::filesystem::create_directories(fs::path(H("src")));
  std::filesystem::create_directories(fs::path(H("Backup")));
  Seed("src\\oem1.inf", "[Version]\r\nTALMIREX\r\n");
  Seed("src\\oem1.PNF", std::string("\x01\x02\x00\xff pnf", 8));
  Seed("src\\oem2.inf", "second");
  Seed("Backup\\oem2.inf", "old content that is longer");
  copy("src\\oem1.inf", "Backup");
  copy("src\\OEM1.pnf", "backup");
  copy("src\\oem2.inf", "Backup");
  copy("src\\oem9.inf", "Backup");
  copy("src\\oem1.inf", "Backup\\renamed.txt");
  copy("src\\oem1.inf", "src\\oem1.inf");
  copy("src\\*.inf", "Wild");
  copy("src\\*.zzz", "Backup");
  copy("src\\oem2.inf", "Deep\\er\\copy.inf");
  for (const char* f : {"Backup\\oem1.inf", "Backup\\oem1.PNF", "Backup\\oem2.inf",
                        "Backup\\oem9.inf", "Backup\\renamed.txt", "src\\oem1.inf",
                        "Wild\\oem1.inf", "Wild\\oem2.inf", "Wild\\oem1.PNF", "Deep\\er\\copy.inf"})
    Dump(f);
  Folder("Wild");
  Folder("Deep\\er");

  Title("shell copies: folders made, single wildcard matches, name clashes");
  copy("src\\oem1.inf", "NewDir\\"); // no folder yet: made, the copy fails
  Folder("NewDir");
  Dump("NewDir\\oem1.inf");
  copy("src\\oem1.inf", "NewDir\\"); // now it is a folder
  Dump("NewDir\\oem1.inf");
  copy("src\\oem*.inf", "Multi\\");
  Folder("Multi");
  Dump("Multi\\oem2.inf");
  Seed("plain", "old");
  copy("src\\oem1.inf", "plain\\");
  copy("src\\oem*.inf", "plain");
  Dump("plain");
  std::filesystem::create_directories(fs::path(H("one")));
  Seed("one\\oem1.inf", "one");
  Seed("one\\oem12.inf", "twelve");
  copy("one\\oem?.inf", "Single"); // the only match goes onto the name
  Folder("Single");
  Dump("Single");
  copy("one\\oem1?.inf", "Backup");
  Dump("Backup\\oem12.inf");
  copy("one\\oem?.inf", "plain");
  Dump("plain");
  std::filesystem::create_directories(fs::path(H("Clash\\oem1.inf")));
  copy("src\\oem1.inf", "Clash"); // a folder of the file's name is left alone
  Folder("Clash\\oem1.inf");
  copy("src\\oem1.inf", "Clash\\oem1.inf");
  Dump("Clash\\oem1.inf\\oem1.inf");
  try {
    SystemRoutines::ShellFileOperation(0, platform::FO_COPY, 0x10000, W("src\\oem1.inf"),
                                       W("Backup"));
    std::cout << "  flags 0x10000: no error\n";
  } catch (const RuntimeError& error) {
    std::cout << "  flags 0x10000: error " << error.Number() << "\n";
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: profile_script <folder as a Windows path> <the same folder for fopen>\n";
    return 2;
  }
  win = argv[1];
  host = argv[2];
  sep = host.find('/') != std::string::npos ? '/' : '\\';
  Profiles();
  Object();
  Paths();
  Copies();
  return 0;
}
