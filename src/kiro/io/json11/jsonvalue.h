// The concrete value classes behind json11w::Json: one class per payload over a common template.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "kiro/io/arena.h"
#include "kiro/io/json11/json11w.h"

namespace json11w {

// Integers from 0 up to this are shared values: tables are full of coordinates, counts and
// indexes, and a shared value spares an allocation for each.
constexpr int SharedInts = 1024;

// The shared constants, for a document's values to refer to without counting.
const JsonValue* sharedNull();
const JsonValue* sharedBool(bool value);
const JsonValue* sharedInt(int value);  // 0 <= value < SharedInts

struct NullStruct {
    bool operator==(NullStruct) const { return true; }
    bool operator<(NullStruct) const { return false; }
};

// Append the JSON text of one payload.
void dumpValue(NullStruct, std::wstring& out);
void dumpValue(int value, std::wstring& out);
void dumpValue(double value, std::wstring& out);
void dumpValue(bool value, std::wstring& out);
void dumpValue(std::wstring_view value, std::wstring& out);
void dumpValue(const Json::array& values, std::wstring& out);
void dumpValue(const Json::object& values, std::wstring& out);

template <Json::Type tag, typename T>
class Value : public JsonValue {
public:
    // Whether the destructor has memory to give back.
    static constexpr bool OwnsMemory = !std::is_trivially_destructible_v<T>;
    explicit Value(const T& value) : m_value(value) {}
    explicit Value(T&& value) : m_value(std::move(value)) {}

    Json::Type type() const override { return tag; }
    // Only called with another value of the same type number.
    bool equals(const JsonValue* other) const override {
        return m_value == static_cast<const Value<tag, T>*>(other)->m_value;
    }
    bool less(const JsonValue* other) const override {
        return m_value < static_cast<const Value<tag, T>*>(other)->m_value;
    }
    void dump(std::wstring& out) const override { dumpValue(m_value, out); }

protected:
    const T m_value;
};

class JsonNull final : public Value<Json::NUL, NullStruct> {
public:
    JsonNull() : Value({}) {}
};

class JsonInt final : public Value<Json::NUMBER, int> {
public:
    explicit JsonInt(int value) : Value(value) {}
    double number_value() const override { return m_value; }
    int int_value() const override { return m_value; }
    bool equals(const JsonValue* other) const override { return m_value == other->number_value(); }
    bool less(const JsonValue* other) const override { return m_value < other->number_value(); }
};

class JsonDouble final : public Value<Json::NUMBER, double> {
public:
    explicit JsonDouble(double value) : Value(value) {}
    double number_value() const override { return m_value; }
    int int_value() const override;
    bool equals(const JsonValue* other) const override { return m_value == other->number_value(); }
    bool less(const JsonValue* other) const override { return m_value < other->number_value(); }
};

class JsonBoolean final : public Value<Json::BOOL, bool> {
public:
    explicit JsonBoolean(bool value) : Value(value) {}
    bool bool_value() const override { return m_value; }
};

class JsonString final : public Value<Json::STRING, std::wstring> {
public:
    explicit JsonString(const std::wstring& value) : Value(value) {}
    explicit JsonString(std::wstring&& value) : Value(std::move(value)) {}
    const std::wstring& string_value() const override { return m_value; }
};

class JsonArray final : public Value<Json::ARRAY, Json::array> {
public:
    explicit JsonArray(const Json::array& value) : Value(value) {}
    explicit JsonArray(Json::array&& value) : Value(std::move(value)) {}
    const Json::array& array_items() const override { return m_value; }
    const Json& operator[](size_t index) const override;
};

// Objects compare by their members, whichever class holds them.
class JsonObject final : public Value<Json::OBJECT, Json::object> {
public:
    explicit JsonObject(const Json::object& value) : Value(value) {}
    explicit JsonObject(Json::object&& value) : Value(std::move(value)) {}
    const Json::object& object_items() const override { return m_value; }
    const Json& operator[](std::wstring_view key) const override;
    bool equals(const JsonValue* other) const override { return m_value == other->object_items(); }
    bool less(const JsonValue* other) const override { return m_value < other->object_items(); }
};

// The memory of one parsed document: every value, key and member list of it, one reference
// count for all of it. The values refer to one another without counting (Json::borrow); a Json
// handed out of the document counts a reference to the document itself. When the last goes,
// the values that hold memory of their own are destroyed in the order they were made, and the
// arena with them.
class DocumentArena : public std::enable_shared_from_this<DocumentArena> {
public:
    DocumentArena() = default;
    DocumentArena(const DocumentArena&) = delete;
    DocumentArena& operator=(const DocumentArena&) = delete;
    ~DocumentArena();

    kiro::io::Arena memory;

    // A value made in the arena, belonging to this document.
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        T* value = new (memory.allocateArray<T>(1)) T(std::forward<Args>(args)...);
        value->m_document = this;
        if (T::OwnsMemory) remember(value);
        return value;
    }

    // A counting pointer to a value of this document.
    std::shared_ptr<JsonValue> share(JsonValue* value) { return std::shared_ptr<JsonValue>(shared_from_this(), value); }

private:
    void remember(JsonValue* value);

    // The values to destroy, in blocks kept in the arena.
    struct Block;
    Block* first_ = nullptr;
    Block* last_ = nullptr;
};

// An object as the parser makes it: its members in one run sorted by key, each key once, all
// in the document's arena, so reading a table costs no allocation per member. Lookups search
// the run; the ordered map that object_items() hands out is built on first request.
class JsonParsedObject final : public JsonValue {
public:
    // The map, once built.
    static constexpr bool OwnsMemory = true;

    struct Member {
        std::wstring_view key;
        Json value;
    };

    // Takes a run of constructed members that the arena holds and the object now owns.
    JsonParsedObject(Member* members, size_t count) : m_members(members), m_count(count) {}
    ~JsonParsedObject() override;

    Json::Type type() const override { return Json::OBJECT; }
    bool equals(const JsonValue* other) const override { return object_items() == other->object_items(); }
    bool less(const JsonValue* other) const override { return object_items() < other->object_items(); }
    void dump(std::wstring& out) const override;
    const Json& operator[](std::wstring_view key) const override;
    const Json::object& object_items() const override;

private:
    Member* m_members;
    size_t m_count;
    mutable std::atomic<const Json::object*> m_map{nullptr};
};

}  // namespace json11w
