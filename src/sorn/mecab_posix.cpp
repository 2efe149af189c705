// MeCab linked at build time: the model, and a tagger and lattice per parse.
#include <mecab.h>

#include "sorn/analyser.h"

namespace sorn {
namespace {

class MecabAnalyser final : public Analyser {
public:
    explicit MecabAnalyser(std::unique_ptr<MeCab::Model> model) : model_(std::move(model)) {}

    bool parse(const std::vector<std::string>& sentences, const Visit& visit) const override {
        std::unique_ptr<MeCab::Tagger> tagger(model_->createTagger());
        std::unique_ptr<MeCab::Lattice> lattice(model_->createLattice());
        if (!tagger || !lattice) return false;
        for (const std::string& sentence : sentences) {
            // The lattice keeps a pointer to the sentence (up to its first zero byte), which
            // lives until the walk is done. A failed parse leaves no nodes to read.
            lattice->set_sentence(sentence.c_str());
            if (!tagger->parse(lattice.get())) continue;
            for (const MeCab::Node* node = lattice->bos_node(); node; node = node->next) {
                if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) continue;
                visit(node->surface, node->length, node->feature ? node->feature : "");
            }
        }
        // The tagger goes before the lattice.
        tagger.reset();
        lattice.reset();
        return true;
    }

private:
    std::unique_ptr<MeCab::Model> model_;
};

}  // namespace

std::unique_ptr<Analyser> createAnalyser(const char* argument) {
    std::unique_ptr<MeCab::Model> model(MeCab::createModel(argument));
    if (!model) return nullptr;
    return std::make_unique<MecabAnalyser>(std::move(model));
}

}  // namespace sorn
