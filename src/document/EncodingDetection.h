#pragma once

#include "TextEncoding.h"

class CCorvelTextBuffer;

// The encoding of a loaded text: UTF-8 when every line is well-formed UTF-8 and some byte is from
// 0x80 up, Windows-1251 otherwise. One pass over the lines; ASCII runs cost a compare each.
TextEncoding DetectEncoding(const CCorvelTextBuffer& buffer);
