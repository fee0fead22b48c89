#pragma once
// Functions of a library that is loaded at run time rather than linked, each
// named once in a list macro: X(name). The list makes a table of pointers
// (TARNOVOX_LOADED_FIELD), which the library's loader fills by name, and one
// object per function, of the function's own name, that calls through the
// table (TARNOVOX_LOADED_CALL). Code in namespace tarnovox then calls
// `pa_stream_new(...)` as if the library were linked. A function left out of
// the list reaches the library's own declaration, which does not link.
namespace tarnovox {

// Calls the table's `Field` with the function's exact parameter types, so
// arguments convert as in a direct call (nullptr, lambdas to function
// pointers, enumerators).
template <auto Field, auto Table>
struct LoadedFunction;

template <class Functions, class Result, class... Args, Result (*Functions::*Field)(Args...),
          const Functions& (*Table)()>
struct LoadedFunction<Field, Table> {
  Result operator()(Args... args) const { return (Table().*Field)(args...); }
};

}  // namespace tarnovox

// A field of the table: a pointer of the function's own type.
#define TARNOVOX_LOADED_FIELD(name) decltype(&::name) name = nullptr;
// The object that stands for the function, for a table type and its getter.
// It is a variable, not a function: unqualified calls find it and stop there,
// without the argument-dependent lookup that would reach the real declaration.
#define TARNOVOX_LOADED_CALL(Functions, table, name) \
  inline constexpr ::tarnovox::LoadedFunction<&Functions::name, &table> name{};
