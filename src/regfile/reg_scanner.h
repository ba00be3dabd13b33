// The line scanner of registration files: turns lines into sections and values, skipping what it does not
// know.
#pragma once

#include "platform/winreg.h"
#include "regfile/line_source.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hw::regfile {

enum class RegRecordKind {
    String = 0,      // "name"="text"
    DWord = 1,       // "name"=dword:hex digits
    Binary = 2,      // "name"=hex:byte text
    Section = 3,     // [root\path]
    TypedBytes = 4,  // "name"=hex(type):byte text
    DeleteValue = 5, // "name"=-
    DeleteKey = 6,   // [-root\path]
};

// One scanned record. The strings keep their capacity from record to record.
struct TRegImportInfo {
    RegRecordKind kind = RegRecordKind::String;
    HKEY root = 0;
    bool inSection = false;
    std::string keyPath;             // subkey path of the section; empty for a root
    std::string name;                // value name, unescaped; empty for the default value
    std::string data;                // unescaped text or the digits of a DWORD
    std::vector<std::uint8_t> bytes; // the bytes of a Binary or TypedBytes record ...
    bool bytesValid = true;          // ... when its byte text read as bytes
    DWORD type = 0;                  // the type of a TypedBytes record
    std::size_t line = 0;            // where the record starts, counting the header as line 1
};

// The three header lines, compared exactly.
bool IsAcceptedHeader(std::string_view line);

// Undoes the escaping of names and string data: "\\" becomes "\", then "\"" becomes a double quote.
void UnescapeRegText(std::string_view text, std::string& out);

class RegLineScanner {
  public:
    // Reads from the line after the header.
    explicit RegLineScanner(LineSource& lines) : lines_(lines) {}
    // Fills info with the next record; false at the end of the lines.
    bool Next(TRegImportInfo& info);

  private:
    bool NextLine(std::string_view& line);
    bool ScanSection(std::string_view trimmed, TRegImportInfo& info);
    HKEY RootNamed(std::string_view name);
    bool ScanValue(std::string_view line, std::string_view trimmed, TRegImportInfo& info);
    bool ScanQuotedName(std::string_view line, std::string_view trimmed, TRegImportInfo& info);
    bool ScanMarkers(std::string_view line, TRegImportInfo& info);
    bool ScanData(std::string_view line, std::size_t at, TRegImportInfo& info);
    void ScanString(std::string_view line, std::size_t openingQuote, TRegImportInfo& info);
    void ScanByteText(std::string_view first, TRegImportInfo& info);

    LineSource& lines_;
    std::string_view pushedBack_;
    bool hasPushedBack_ = false;
    std::size_t linesRead_ = 1; // the header
    std::string lastRootName_;
    HKEY lastRoot_ = 0;
};

} // namespace hw::regfile
