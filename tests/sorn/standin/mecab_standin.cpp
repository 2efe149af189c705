// A stand-in for libmecab.dll, built for the loader's test: the C functions the language module
// binds, declared by mecab.h. Parsing splits the sentence at spaces into one node per word;
// each node's surface points into the sentence and is not zero-terminated, as MeCab's are.
#include <mecab.h>

#include <algorithm>
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

template <class T>
T* made() {
    ++live;
    return new T;
}

template <class T>
void destroyed(T* object) {
    --live;
    delete object;
}

}  // namespace

// For the test: how many objects are alive.
extern "C" __declspec(dllexport) int standin_live_objects() { return live; }

// A dictionary folder named "nowhere" fails, as a missing dictionary does.
mecab_model_t* mecab_model_new2(const char* arg) {
    return std::strstr(arg, "nowhere") != nullptr ? nullptr : made<mecab_model_t>();
}
mecab_t* mecab_model_new_tagger(mecab_model_t*) {
    return made<mecab_t>();
}
mecab_lattice_t* mecab_model_new_lattice(mecab_model_t*) {
    return made<mecab_lattice_t>();
}
void mecab_model_destroy(mecab_model_t* model) {
    destroyed(model);
}
void mecab_destroy(mecab_t* tagger) {
    destroyed(tagger);
}
void mecab_lattice_destroy(mecab_lattice_t* lattice) {
    destroyed(lattice);
}
void mecab_lattice_set_sentence(mecab_lattice_t* lattice, const char* sentence) {
    lattice->sentence = sentence;
}
mecab_node_t* mecab_lattice_get_bos_node(mecab_lattice_t* lattice) {
    return &lattice->nodes.at(0);
}

// The nodes: the beginning, one per word, the end. An empty sentence fails to parse.
int mecab_parse_lattice(mecab_t*, mecab_lattice_t* lattice) {
    const std::string sentence = lattice->sentence;
    if (sentence.empty()) return 0;
    lattice->nodes.assign(1, mecab_node_t{});
    lattice->features.assign(1, "BOS/EOS");
    for (size_t start = 0, end = 0; start < sentence.size(); start = end + 1) {
        end = std::min(sentence.find(' ', start), sentence.size());
        lattice->nodes.push_back(mecab_node_t{});
        lattice->nodes.back().surface = lattice->sentence + start;
        lattice->nodes.back().length = static_cast<unsigned short>(end - start);
        lattice->features.push_back("word," + std::to_string(lattice->features.size()));
    }
    lattice->nodes.push_back(mecab_node_t{});
    lattice->features.push_back("BOS/EOS");
    lattice->nodes.front().stat = MECAB_BOS_NODE;
    lattice->nodes.back().stat = MECAB_EOS_NODE;
    for (size_t i = 0; i < lattice->nodes.size(); ++i) {
        lattice->nodes[i].feature = lattice->features[i].c_str();
        lattice->nodes[i].next = i + 1 < lattice->nodes.size() ? &lattice->nodes[i + 1] : nullptr;
    }
    return 1;
}
