#pragma once
// Copies field trees between file objects without interpreting them, in
// file order. Values keep their types between binary files; values read
// from an ASCII file get the type their text shows (quoted: string; a
// whole number: 'I', or 'L' beyond 32 bits; another number: 'D'; one other
// character: 'C').

#include <string>

class VZynFile;

// The type an ASCII value's text shows.
char VZynAsciiValueType(const std::string& text, bool quoted);

// Copies the value at the input's cursor to the output's open field.
bool VZynCopyValue(VZynFile& in, VZynFile& out);

// Copies every occurrence of the input's current block (all its fields and
// nested blocks) into the output's current level. Occurrences whose name is
// in skip (top level only) are left out.
bool VZynCopyBlock(VZynFile& in, VZynFile& out, const char* const* skip = nullptr);
