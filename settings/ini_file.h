#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace settings {

// The longest value handed on; longer values are cut to this many characters,
// as a 2048-character buffer with its terminator would hold.
inline constexpr std::size_t kMaxProfileValueLength = 2047;

// Only this many leading bytes of a file are looked at. A settings file is a
// few lines long; the cap keeps a huge or runaway file from stalling the
// panel. Whatever lies beyond counts as absent, and so does a last line that
// the cap cuts in two, so a value is never handed on half read.
inline constexpr std::size_t kMaxProfileBytes = std::size_t{1} << 20;

// The value of `key` in `section` of the initialization file at `path`, or
// `default_text` when the file, the section or the key is missing, or the
// file cannot be read. The file is only ever read, never created, written,
// locked or deleted, and it is opened and closed within the call.
//
// The file's rules:
// - "[Name]" starts a section; the name ends at the first "]" and the rest
//   of the line is ignored. A line starting with "[" and lacking "]" is
//   ignored. Lines before the first section header belong to no section.
// - "key=value" is an entry; the key ends at the first "=". A line without
//   "=" is ignored.
// - A line whose first non-blank character is ";" is a comment.
// - Blanks (spaces and tabs) around names, around "=" and at both ends of the
//   value are dropped. A value then wrapped in a matching pair of double or
//   single quotes loses that pair.
// - Section and key names match without regard to ASCII letter case.
// - Only the first section with a matching name is searched; a key that is
//   only in a later one counts as missing. The first matching key in that
//   section wins.
// - Lines end with LF, CRLF or CR. A UTF-8 byte order mark at the start of
//   the file is skipped. Other bytes, NUL and invalid UTF-8 included, are
//   handed on unchanged.
// - Only a regular file (or a symbolic link to one) is read. A directory,
//   FIFO, socket or device yields `default_text` at once, without blocking.
// - A key that is present with an empty value yields the empty text, not
//   `default_text`.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key,
                              std::string_view default_text);

}  // namespace settings
