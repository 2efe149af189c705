// The concrete value classes behind json11w::Json: one class per payload over a common template.
#pragma once

#include <string>

#include "kiro/io/json11/json11w.h"

namespace json11w {

struct NullStruct {
    bool operator==(NullStruct) const { return true; }
    bool operator<(NullStruct) const { return false; }
};

// Append the JSON text of one payload.
void dumpValue(NullStruct, std::wstring& out);
void dumpValue(int value, std::wstring& out);
void dumpValue(double value, std::wstring& out);
void dumpValue(bool value, std::wstring& out);
void dumpValue(const std::wstring& value, std::wstring& out);
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

class JsonObject final : public Value<Json::OBJECT, Json::object> {
public:
    explicit JsonObject(const Json::object& value) : Value(value) {}
    explicit JsonObject(Json::object&& value) : Value(std::move(value)) {}
    const Json::object& object_items() const override { return m_value; }
    const Json& operator[](std::wstring_view key) const override;
};

}  // namespace json11w
