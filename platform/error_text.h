#pragma once
// Why a system call failed, in words for people.

#include <string>

namespace lct {

/// The reason behind an `errno` value as a short Chinese UTF-8 text, such as
/// "磁盘已满" for ENOSPC; the C library's own text for codes without one.
std::string errorText(int errorNumber);

}  // namespace lct
