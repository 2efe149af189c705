// MeCab on Windows: not available yet (it is to be loaded at run time), so the module
// cannot start and every analysis yields no tokens.
#include "sorn/analyser.h"

namespace sorn {

std::unique_ptr<Analyser> createAnalyser(const char*) { return nullptr; }

}  // namespace sorn
