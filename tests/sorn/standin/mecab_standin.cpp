// A stand-in for libmecab.dll, built for the loader's test: the C functions the language module
// binds, declared by mecab.h. Parsing makes two words of each sentence, whose surfaces point
// into the sentence and are not zero-terminated, as MeCab's are.
#include <mecab.h>

#include <cstring>
#include <vector>

struct mecab_model_t {};
struct mecab_t {};
struct mecab_lattice_t {
    const char* sentence = nullptr;
    std::vector<mecab_node_t> nodes;
};

int live = 0;  // taggers and lattices not yet destroyed

// For the test: how many taggers and lattices are alive.
extern "C" __declspec(dllexport) int standin_live_objects() {
    return live;
}

// A dictionary folder named "nowhere" fails, as a missing dictionary does.
mecab_model_t* mecab_model_new2(const char* arg) {
    return std::strstr(arg, "nowhere") != nullptr ? nullptr : new mecab_model_t;
}
mecab_t* mecab_model_new_tagger(mecab_model_t*) {
    ++live;
    return new mecab_t;
}
mecab_lattice_t* mecab_model_new_lattice(mecab_model_t*) {
    ++live;
    return new mecab_lattice_t;
}
void mecab_model_destroy(mecab_model_t* model) {
    delete model;
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
}
mecab_node_t* mecab_lattice_get_bos_node(mecab_lattice_t* lattice) {
    return &lattice->nodes.at(0);
}

// The nodes: the beginning, the two halves of the sentence as two words, the end. An empty
// sentence fails to parse.
int mecab_parse_lattice(mecab_t*, mecab_lattice_t* lattice) {
    static const char* const features[] = {"BOS/EOS", "word,1", "word,2", "BOS/EOS"};
    const size_t half = std::strlen(lattice->sentence) / 2;
    if (half == 0) return 0;
    lattice->nodes.assign(4, mecab_node_t{});
    for (size_t i = 0; i < 4; ++i) {
        mecab_node_t& node = lattice->nodes[i];
        node.stat = i == 0 ? MECAB_BOS_NODE : i == 3 ? MECAB_EOS_NODE : MECAB_NOR_NODE;
        node.surface = lattice->sentence + (i == 2 ? half : 0);
        node.length = static_cast<unsigned short>(i == 1 || i == 2 ? half : 0);
        node.feature = features[i];
        node.next = i < 3 ? &lattice->nodes[i + 1] : nullptr;
    }
    return 1;
}
