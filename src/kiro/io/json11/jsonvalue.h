// The concrete value classes behind json11w::Json: one class per payload over a common template.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "kiro/io/arena.h"
#include "kiro/io/json11/json11w.h"

namespace json11w {

// Integers from 0 up to this are shared values: tables are full of coordinates, counts and
// indexes, and a shared value spares an allocation for each.
constexpr int SharedInts = 1024;

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

// The memory of one parsed document: its values, keys and member lists. Each value's control
// block comes from here, and the arena goes when the last of them does. While the parser
// runs, a large bias keeps the count above zero, so values it drops on the way cannot free
// the arena; the parser then trades the bias for the number of allocations it made.
class DocumentArena {
public:
    kiro::io::Arena memory;

    void* allocate(size_t size, size_t align) {
        ++made_;
        return memory.allocate(size, align);
    }
    void release() {
        if (live_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    // Called once by the parser when it is done.
    void finish() {
        const intptr_t change = static_cast<intptr_t>(made_) - Bias;
        if (live_.fetch_add(change, std::memory_order_acq_rel) + change == 0) delete this;
    }

private:
    static constexpr intptr_t Bias = intptr_t(1) << 48;
    std::atomic<intptr_t> live_{Bias};
    size_t made_ = 0;
};

// Places shared values (object and control block in one piece) in a document's arena.
template <typename T>
struct DocumentAllocator {
    using value_type = T;
    DocumentArena* arena;

    explicit DocumentAllocator(DocumentArena* a) noexcept : arena(a) {}
    template <typename U>
    DocumentAllocator(const DocumentAllocator<U>& other) noexcept : arena(other.arena) {}
    T* allocate(size_t n) { return static_cast<T*>(arena->allocate(n * sizeof(T), alignof(T))); }
    void deallocate(T*, size_t) noexcept { arena->release(); }
    template <typename U>
    bool operator==(const DocumentAllocator<U>& other) const noexcept {
        return arena == other.arena;
    }
    template <typename U>
    bool operator!=(const DocumentAllocator<U>& other) const noexcept {
        return arena != other.arena;
    }
};

// An object as the parser makes it: its members in one run sorted by key, each key once, all
// in the document's arena, so reading a table costs no allocation per member. Lookups search
// the run; the ordered map that object_items() hands out is built on first request.
class JsonParsedObject final : public JsonValue {
public:
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
