#pragma once
// An ICU converter that closes itself.

#include <unicode/ucnv.h>

#include <memory>

namespace lct {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

}  // namespace lct
