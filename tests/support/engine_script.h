// Test helper: a conversation engine on a hand-set millisecond clock, played by the steps of
// a case file (tests/data/engine/README), with the event table below.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/tempfolder.h"
#include "tavi/oreb/engine.h"

namespace tavi::test {

// unit_wakeup says "wake", unit_drag "drag" (with the action grab), unit_drop "drop".
inline const char* const EventTable =
    R"({"unit_wakeup": ["wake"], "unit_drag": {"action": "grab", "texts": ["drag"]}, "unit_drop": ["drop"]})";

struct EngineScript {
    void start(const std::string& responses) {
        writeBytes(folder / L"event.json", EventTable);
        writeBytes(folder / L"response.json", responses);
        engine = std::make_unique<oreb::Engine>(folder.path(), 3, progress, stop, [this] { return now.load(); });
        EXPECT_EQ(progress.load(), stop ? 0.0f : 1.0f);  // the tables loaded, and the corpus learnt unless stopped
    }

    // Plays the steps of a case (tests/data/engine/README) and gives them back, each question
    // with its answer.
    std::string play(const std::string& steps) {
        uint32_t t0 = 0;
        return playSteps(steps, [&](const std::string& head, const std::string& act) -> std::string {
            const std::wstring rest = kiro::io::fromUtf8(act.substr(1));
            if (head == "stopped")  // corpus files to learn, but the stop flag set before the start
                for (int i = 0; i < 4; ++i)
                    writeBytes(folder / (L"models/corpus/f" + std::to_wstring(i) + L".txt"), "text");
            if (head == "responses" || head == "stopped") {
                stop = head == "stopped";
                start(act);
            }
            if (head == "t0") t0 = uint32_t(std::stoul(act));
            if (head == "responses" || head == "stopped" || head == "t0") return "";
            now = t0 + uint32_t(std::stoul(head));
            Response r;
            if (act[0] == '+') engine->post(EventMessage{EventMessage::Named, rest, {}});
            if (act[0] == '?') engine->post(EventMessage{EventMessage::FreeText, rest, {}});
            if (act[0] == '*') engine->post(EventMessage{});
            if (act[0] == '=' || act[0] == '~')
                return " " + (engine->cycle(act[0] == '~', r) ? kiro::io::toUtf8(r.text) : "-");
            const uint32_t due = engine->dueIn(act[0] == '_');
            if (act[0] == '^' || act[0] == '_')
                return due == oreb::Engine::NeverDue ? " never" : " " + std::to_string(due);
            if (act[0] == '!') return engine->hasEventLines() ? " yes" : " no";
            return "";
        });
    }

    TempFolder folder;
    std::atomic<float> progress{0.5f};
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> now{0};
    std::unique_ptr<oreb::Engine> engine;
};

}  // namespace tavi::test
