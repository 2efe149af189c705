// A stand-in for libmecab.dll, built for the loader's test: the C functions the language module
// binds, declared by mecab.h. Parsing splits the sentence at spaces into one node per word;
// each node's surface points into the sentence and is not zero-terminated, as MeCab's are.
#include <mecab.h>

#include <cstring>
#include <string>
#include <vector>

struct mecab_model_t {};
struct mecab_t {};
struct mecab_lattice_t {
    const char* sentence = nullptr;
    std::vector<mecab_node_t> nodes;
    std::vector<std::string> features;
};

namespace {
int live = 0;  // models, taggers and lattices not yet destroyed
}

// For the test: how many objects are alive.
extern "C" __declspec(dllexport) int standin_live_objects() { return live; }

// A dictionary folder named "nowhere" fails, as a missing dictionary does.
mecab_model_t* mecab_model_new2(const char* arg) {
    if (arg == nullptr || std::strstr(arg, "nowhere") != nullptr) return nullptr;
    ++live;
    return new mecab_model_t;
}

void mecab_model_destroy(mecab_model_t* model) {
    --live;
    delete model;
}

mecab_t* mecab_model_new_tagger(mecab_model_t*) {
    ++live;
    return new mecab_t;
}

mecab_lattice_t* mecab_model_new_lattice(mecab_model_t*) {
    ++live;
    return new mecab_lattice_t;
}

void mecab_destroy(mecab_t* tagger) {
    --live;
    delete tagger;
}

void mecab_lattice_destroy(mecab_lattice_t* lattice) {
    --live;
    delete lattice;
}

void mecab_lattice_set_sentence(mecab_lattice_t* lattice, const char* sentence) {
    lattice->sentence = sentence;
    lattice->nodes.clear();
}

// An empty sentence fails to parse.
int mecab_parse_lattice(mecab_t*, mecab_lattice_t* lattice) {
    const char* s = lattice->sentence;
    if (s == nullptr || *s == '\0') return 0;
    lattice->nodes.assign(1, mecab_node_t{});
    lattice->nodes[0].stat = MECAB_BOS_NODE;
    lattice->nodes[0].surface = s;
    lattice->features.assign(1, "BOS/EOS");
    for (const char* end = s; *s != '\0'; s = *end == ' ' ? end + 1 : end) {
        for (end = s; *end != ' ' && *end != '\0'; ++end) {
        }
        if (end == s) continue;
        mecab_node_t node{};
        node.stat = MECAB_NOR_NODE;
        node.surface = s;
        node.length = static_cast<unsigned short>(end - s);
        lattice->features.push_back("word," + std::to_string(lattice->nodes.size()));
        lattice->nodes.push_back(node);
    }
    lattice->nodes.push_back(lattice->nodes[0]);
    lattice->nodes.back().stat = MECAB_EOS_NODE;
    lattice->features.push_back("BOS/EOS");
    for (size_t i = 0; i < lattice->nodes.size(); ++i) {
        lattice->nodes[i].feature = lattice->features[i].c_str();
        if (i + 1 < lattice->nodes.size()) lattice->nodes[i].next = &lattice->nodes[i + 1];
    }
    return 1;
}

mecab_node_t* mecab_lattice_get_bos_node(mecab_lattice_t* lattice) {
    return lattice->nodes.empty() ? nullptr : &lattice->nodes[0];
}
