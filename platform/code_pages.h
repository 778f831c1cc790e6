#pragma once

// Facts about Windows code pages that the text conversions rely on.
namespace torvane {

// Code pages whose WideCharToMultiByte takes neither WC_NO_BEST_FIT_CHARS nor
// a used-default flag: given either, the call fails outright (Microsoft's
// WideCharToMultiByte reference lists them). UTF-8 is among them, and it is
// the OEM code page under Windows' "Beta: Use Unicode UTF-8" option.
constexpr bool TakesNoConversionFlags(unsigned codePage) {
    return codePage == 42 || (codePage >= 50220 && codePage <= 50229) || codePage == 52936 ||
           codePage == 54936 || (codePage >= 57002 && codePage <= 57011) || codePage == 65000 ||
           codePage == 65001;
}

}  // namespace torvane
