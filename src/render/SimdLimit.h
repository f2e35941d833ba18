#pragma once

#include <string>

// The widest instruction set the SIMD kernels may use. They pick the widest one
// the processor offers at run time; holding them to a narrower one (say AVX2 on
// a machine with AVX-512) shows how the program runs on machines without the
// wider vectors. The frames are the same either way.

// The environment variable that names the limit, read by orbo-render and orbo-bench.
inline constexpr const char* kSimdLimitVariable = "ORBO_SIMD";

// Holds the kernels to the instruction set named (as Highway names its targets,
// in any case: "avx2", "sse4", "emu128"...), or leaves them alone for an empty
// name. False, with the names this processor offers in error, for a name it does
// not offer.
bool LimitSimd(const std::string& name, std::string& error);

// LimitSimd with the value of ORBO_SIMD, when it is set.
bool LimitSimdFromEnvironment(std::string& error);

// The instruction set the kernels use now, as Highway names it.
std::string SimdInUse();
