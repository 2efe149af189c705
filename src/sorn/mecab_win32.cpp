// MeCab on Windows, loaded at run time from "libmecab.dll" through its C interface, so the
// program runs without it (corpus learning then stays off).
//
// Implements: createAnalyser over the DLL beside the program or on the DLL search path (the
//   model from an argument string; per parse a tagger and a lattice; the nodes' surface,
//   length, feature and status).
// Lacks: nothing of what the language module uses. A DLL that misses one of the functions
//   below counts as no MeCab at all.
#include <windows.h>

#include <mecab.h>

#include "sorn/analyser.h"

namespace sorn {
namespace {

// The C functions bound by name; each pointer's type is that of the declaration in mecab.h.
struct MecabApi {
    decltype(&mecab_model_new2) modelNew = nullptr;
    decltype(&mecab_model_destroy) modelDestroy = nullptr;
    decltype(&mecab_model_new_tagger) newTagger = nullptr;
    decltype(&mecab_model_new_lattice) newLattice = nullptr;
    decltype(&mecab_destroy) taggerDestroy = nullptr;
    decltype(&mecab_lattice_destroy) latticeDestroy = nullptr;
    decltype(&mecab_lattice_set_sentence) setSentence = nullptr;
    decltype(&mecab_parse_lattice) parse = nullptr;
    decltype(&mecab_lattice_get_bos_node) bosNode = nullptr;

    // False when any function is missing.
    bool bind(HMODULE library) {
        return find(library, "mecab_model_new2", modelNew) &&
               find(library, "mecab_model_destroy", modelDestroy) &&
               find(library, "mecab_model_new_tagger", newTagger) &&
               find(library, "mecab_model_new_lattice", newLattice) &&
               find(library, "mecab_destroy", taggerDestroy) &&
               find(library, "mecab_lattice_destroy", latticeDestroy) &&
               find(library, "mecab_lattice_set_sentence", setSentence) &&
               find(library, "mecab_parse_lattice", parse) &&
               find(library, "mecab_lattice_get_bos_node", bosNode);
    }

private:
    template <typename Function>
    static bool find(HMODULE library, const char* name, Function& out) {
        // GetProcAddress hands every export out under one generic type.
        out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
        return out != nullptr;
    }
};

class MecabDll final : public Analyser {
public:
    MecabDll(HMODULE library, const MecabApi& api, mecab_model_t* model)
        : library_(library), api_(api), model_(model) {}

    ~MecabDll() override {
        api_.modelDestroy(model_);
        FreeLibrary(library_);
    }

    bool parse(const std::vector<std::string>& sentences, const Visit& visit) const override {
        mecab_t* tagger = api_.newTagger(model_);
        mecab_lattice_t* lattice = api_.newLattice(model_);
        const bool made = tagger != nullptr && lattice != nullptr;
        if (made) {
            for (const std::string& sentence : sentences) {
                // The lattice keeps a pointer to the sentence (up to its first zero byte), which
                // lives until the walk is done. A failed parse leaves no nodes to read.
                api_.setSentence(lattice, sentence.c_str());
                if (!api_.parse(tagger, lattice)) continue;
                for (const mecab_node_t* node = api_.bosNode(lattice); node; node = node->next) {
                    if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
                    visit(node->surface, node->length, node->feature ? node->feature : "");
                }
            }
        }
        // The tagger goes before the lattice.
        if (tagger != nullptr) api_.taggerDestroy(tagger);
        if (lattice != nullptr) api_.latticeDestroy(lattice);
        return made;
    }

private:
    HMODULE library_;
    MecabApi api_;
    mecab_model_t* model_;
};

}  // namespace

std::unique_ptr<Analyser> createAnalyser(const char* argument) {
    // The default search order: the program's folder first, then the system folders and PATH.
    HMODULE library = LoadLibraryW(L"libmecab.dll");
    if (library == nullptr) return nullptr;
    MecabApi api;
    mecab_model_t* model = api.bind(library) ? api.modelNew(argument) : nullptr;
    if (model == nullptr) {
        FreeLibrary(library);
        return nullptr;
    }
    return std::make_unique<MecabDll>(library, api, model);
}

}  // namespace sorn
