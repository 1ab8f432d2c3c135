#pragma once
// One profile (INI) file, read and written entry by entry. The object
// remembers the file (folder, name and full path), a current section and a
// current item; assigning Data writes the item's value at once, reading Data
// reads it back. With Command 1, 2 or 3 the object places the file itself
// (the program's folder, the Windows system folder, or FilePath) and creates
// it, empty, when missing; with Command 0 the caller assigns FullPath.

#include <charconv>
#include <cstdint>
#include <string>
#include <type_traits>

class cINI {
public:
  // Deletes the file when Exists; a refused deletion is raised.
  bool Delete();
  // FullPath is not empty and names an existing file.
  bool Exists();

  void FullPath(const std::string& vData);
  const std::string& FullPath() const { return FullPath_; }

  // The folder mode; a value outside -32768..32767 raises 6 (overflow) and
  // leaves the mode as it was.
  void Command(int32_t iCommand);
  int32_t Command() const { return Command_; }

  void FilePath(const std::string& vData);
  const std::string& FilePath() const { return FilePath_; }

  void FileName(const std::string& vData);
  const std::string& FileName() const { return FileName_; }

  // Writes the value of Item in Section (never an empty value).
  void Data(const std::string& ItemData);
  // The value of Item in Section; empty when there is none.
  std::string Data();

  void Section(const std::string& sData) { Section_ = sData; }
  const std::string& Section() const { return Section_; }

  void Item(const std::string& sData) { Item_ = sData; }
  const std::string& Item() const { return Item_; }

  // The value of sItem in sSection of the file, at most 49 characters.
  std::string INIRead(const std::string& sIniPath, const std::string& sSection,
                      const std::string& sItem);
  // Writes sData unless it is empty; true when a write was issued.
  bool INIWrite(const std::string& sIniPath, const std::string& sSection, const std::string& sItem,
                const std::string& sData);

  // Item becomes IniItem; its value, or the default as text when it has none.
  std::string DataRetrieve(const std::string& IniItem, const std::string& vDefaultValue = "");
  std::string DataRetrieve(const std::string& IniItem, const char* vDefaultValue) {
    return DataRetrieve(IniItem, std::string(vDefaultValue ? vDefaultValue : ""));
  }
  template <class T>
  requires std::is_arithmetic_v<T> std::string DataRetrieve(const std::string& IniItem,
                                                            T vDefaultValue) {
    return DataRetrieve(IniItem, AsText(vDefaultValue));
  }
  // Item becomes IniItem; writes ItemData; true when the value was written.
  bool DataSave(const std::string& IniItem, const std::string& ItemData);

private:
  friend struct cINIInternals; // lets the tests reach the private routines

  static std::string TrimAtNull(const std::string& text);
  static void CreateIfMissing(const std::string& path);
  static bool FileExists(const std::string& path);
  void LocateFile();
  bool WriteData(const std::string& value);

  // Numbers as text the way the language shows them: True/False, digits,
  // and fractions as its Single (7 significant digits) or Double (15).
  template <class T> static std::string AsText(T value) {
    if constexpr (std::is_same_v<T, bool>) {
      return value ? "True" : "False";
    } else if constexpr (std::is_same_v<T, float>) {
      return FloatingText(value, 7);
    } else if constexpr (std::is_floating_point_v<T>) {
      return FloatingText(static_cast<double>(value), 15);
    } else {
      char text[64];
      auto end = std::to_chars(text, text + sizeof text, value).ptr;
      return std::string(text, end);
    }
  }
  // The value rounded to `digits` significant digits, without trailing
  // zeros; in exponent form (1.5E-05, 1E+20) when its exponent is below -4
  // or not below `digits`.
  static std::string FloatingText(double value, int digits);

  std::string FileName_;
  std::string FilePath_;
  std::string FullPath_;
  int16_t Command_ = 0;
  std::string Section_;
  std::string Item_;
};
