// The desktop icon at the sizes a desktop asks for, from the drawn 48-pixel icon.
#pragma once

#include <string>

namespace art {

// Writes the icon `size` pixels square: the 24-pixel picture the 48-pixel
// icon at `from` holds twice enlarged, enlarged by the largest whole factor
// that fits, centred on transparency. False with a message naming the file.
bool writeIconAtSize(const std::string& from, int size, const std::string& out, std::string& error);

// Writes the 48-pixel icon at `from` as C++ source defining
// `const unsigned char NAME[48 * 48 * 4]`, its RGBA bytes, for a program
// to carry its own icon. False with a message naming the file.
bool writeIconSource(const std::string& from, const std::string& name, const std::string& out, std::string& error);

}  // namespace art
