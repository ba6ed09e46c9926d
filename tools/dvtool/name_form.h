#pragma once
// How a name appears in the units text. GBK characters stand as they are;
// any byte that is not part of one, and any character that the text's own
// syntax would swallow, is written as an escape, so that every name field
// the program can hold reads back as the same bytes:
//   \\      a backslash
//   \xHH    the byte HH (any byte but zero)
//   ""      alone: the empty name
// '#' always needs \x23 (it starts a comment), '=' always needs \x3D (it
// starts a definition), blanks at either end need \x20, and a member name
// that starts with '[' needs \x5B.
#include <string>

// Whether a name is printable ASCII and GBK characters only, so that its
// text form needs no \xHH.
bool is_plain_gbk(const std::string& name);

// The text form of a name's bytes, in GBK (ASCII escapes included): every
// double-byte character in it converts to UTF-8 and back unchanged.
std::string escape_name(const std::string& name, bool group_name);

// The bytes of a name from its text form. gbk_input says whether the text is
// GBK already; otherwise it is UTF-8 and is converted. Returns null, or what
// is wrong with the text.
const char* unescape_name(const std::string& text, bool gbk_input, std::string& name);
