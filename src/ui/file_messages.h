// Messages about file work: what could not be read or written, names left out, a stopped import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hw::ui {

std::string CannotWriteFileText(const std::string& fileName);
std::string CannotReadFileText(const std::string& fileName);

// Names an export left out (at most ten, then how many more).
std::string LeftOutNamesText(const std::vector<std::string>& leftOut);

// An import stopped by the user: how far it got, and that what was read stays.
std::string ImportStoppedText(std::uint64_t bytesDone);

// What an export wrote: the file's name and its size in bytes.
std::string ExportedFileText(const std::string& fileName);

// What a Replace All did: on how many of the rows it was run on something was replaced.
std::string RowsReplacedText(std::size_t replaced, std::size_t rows);

// text, then each line on a line of its own.
std::string WithLines(std::string text, const std::vector<std::string>& lines);

} // namespace hw::ui
