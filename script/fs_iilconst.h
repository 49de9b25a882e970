#pragma once
// The intermediate program: the names of its elements and attributes, and the contract between
// the front end that writes it (TfsILParser.SourceToIL, driven by a grammar) and the program
// builder that reads it. Every language compiles to this one form; a designator, an expression
// or an assignment looks the same whatever language wrote it.
//
// Document: `<?xml version="1.0"?>` and one `program` element (script XML tree, fs_xml.h). The
// builder compares names ignoring case and ignores elements it does not know. A unit's text
// handed in by the script's OnGetILUnit is a complete document of this form whose root is the
// unit's `program`.
//
// Attributes:
//   pos   on every element a grammar's `node` or `add` wrote: "L:C", line and column from 1 in
//         the text that was parsed. A wrapping element's pos is its first token; a leaf's pos
//         is the position just after its token.
//   pos1  on `expr` only: the position just after its last token.
//   text  on leaves: the token (or the grammar's replacement), escaped (EscapeAttrText).
//   unit  on `uses`: the unit's name as written in the uses clause, without quotes.
//
// Structure (children in order):
//   program       declarations and statements in source order; last a `types` element
//   types         one element per type alias, named by the alias, with attribute `type`
//   uses          the unit's own `program`, or nothing when the unit was empty or failed
//   compoundstmt  statements
// Declarations:
//   var           one or more `ident`; a `type` before them (C style: each name followed by its
//                 own `array` and `init`) or after them (with an `array` before the `type` and
//                 an `init` after it, shared by every name of the group); a `varparam` marker
//                 before a by-reference C-style parameter. No `type`: Variant variables.
//   const         `ident`, `expr`
//   array         zero or more `dim`; none means one dimension 0..0
//   dim           one `expr` (a size n: bounds 0..n-1) or two (low and high bound)
//   init          one `expr`
//   procedure     `name`, optional `parameters`, the body (declarations, routines, statements)
//   function      `name` and `type` in either order (no `type`: Variant; "void": a procedure),
//                 optional `parameters`, the body
//   parameters    `var` groups, each optionally after an empty `varparams` (by reference)
// Statements:
//   assignstmt    `dsgn`, optional `modificator` (+ - * /), `expr`
//   callstmt      `dsgn`, optional `modificator` (+ or -: x++ and x--)
//   ifstmt        `expr`, optional `thenstmt`, optional `elsestmt` (each holding statements)
//   casestmt      `expr`, `caseselector`s, optionally last one statement (the else branch)
//   caseselector  `set`, then one statement or nothing
//   forstmt       `ident`, `expr` (start), optional `downto`, `expr` (end), optional statement
//   vbforstmt     `ident`, `expr` start, `expr` end, optional `expr` step, optional statement
//   cppforstmt    init statement, `expr` condition, step statement, body statement
//   whilestmt     `expr`, optional statement
//   repeatstmt    statements, `expr`, optional `inverse` (repeat while instead of until)
//   trystmt       statements, then `exceptstmt` or `finallystmt` holding statements
//   break, continue, exit; return (optional `expr`: Result := it, then exit)
//   with          one or more `dsgn`, then one statement
//   delete        `dsgn`
//   empty         nothing (ignored)
// Declarations may also stand among statements.
// Expressions:
//   expr          items in source order: `op`, `number`, `string`, `dsgn`, `set`, `new` and
//                 nested `expr` (a parenthesised part, between `op` items "(" and ")")
//   op            text: ( ) + - * / div mod and or xor shl shr not unminus = <> < > <= >= in
//                 is strcat
//   number        text: the literal; hexadecimal always with the prefix "$"
//   string        text: the value between single quotes (inner quotes not doubled)
//   set           `expr` items; a range is low `expr`, empty `range`, high `expr`
//   new           one `dsgn`: the class name with its arguments
//   dsgn          optional `addr` (then exactly one `node`), then `node` and `expr` items
//   node          text: a name, or "[" for an index; the `expr` items after it are its
//                 arguments or indexes
// `file` exists only while the parser works: it names a unit and becomes that unit's `uses`.
//
// Examples: `a[i+1].Caption := 'x';` is an `assignstmt` holding a `dsgn` (node a, node "[",
// the index `expr`, node Caption) and an `expr` holding one `string` with text 'x'.
// `<Table."Field">` is a `dsgn` calling Get: node Get, then an `expr` holding the `string`
// 'Table."Field"'.
#include <string_view>

namespace fsil {

// ---- elements
inline constexpr std::string_view Program = "program";
inline constexpr std::string_view Types = "types";
inline constexpr std::string_view Uses = "uses";
inline constexpr std::string_view File = "file";
inline constexpr std::string_view CompoundStmt = "compoundstmt";

inline constexpr std::string_view Var = "var";
inline constexpr std::string_view Const = "const";
inline constexpr std::string_view Array = "array";
inline constexpr std::string_view Dim = "dim";
inline constexpr std::string_view Init = "init";
inline constexpr std::string_view Procedure = "procedure";
inline constexpr std::string_view Function = "function";
inline constexpr std::string_view Parameters = "parameters";
inline constexpr std::string_view Ident = "ident";
inline constexpr std::string_view Name = "name";
inline constexpr std::string_view Type = "type";
inline constexpr std::string_view VarParam = "varparam";
inline constexpr std::string_view VarParams = "varparams";

inline constexpr std::string_view AssignStmt = "assignstmt";
inline constexpr std::string_view CallStmt = "callstmt";
inline constexpr std::string_view Modificator = "modificator";
inline constexpr std::string_view IfStmt = "ifstmt";
inline constexpr std::string_view ThenStmt = "thenstmt";
inline constexpr std::string_view ElseStmt = "elsestmt";
inline constexpr std::string_view CaseStmt = "casestmt";
inline constexpr std::string_view CaseSelector = "caseselector";
inline constexpr std::string_view ForStmt = "forstmt";
inline constexpr std::string_view DownTo = "downto";
inline constexpr std::string_view VbForStmt = "vbforstmt";
inline constexpr std::string_view CppForStmt = "cppforstmt";
inline constexpr std::string_view WhileStmt = "whilestmt";
inline constexpr std::string_view RepeatStmt = "repeatstmt";
inline constexpr std::string_view Inverse = "inverse";
inline constexpr std::string_view TryStmt = "trystmt";
inline constexpr std::string_view ExceptStmt = "exceptstmt";
inline constexpr std::string_view FinallyStmt = "finallystmt";
inline constexpr std::string_view Break = "break";
inline constexpr std::string_view Continue = "continue";
inline constexpr std::string_view Exit = "exit";
inline constexpr std::string_view Return = "return";
inline constexpr std::string_view With = "with";
inline constexpr std::string_view Delete = "delete";
inline constexpr std::string_view Empty = "empty";

inline constexpr std::string_view Expr = "expr";
inline constexpr std::string_view Op = "op";
inline constexpr std::string_view NumberLiteral = "number";
inline constexpr std::string_view StringLiteral = "string";
inline constexpr std::string_view Set = "set";
inline constexpr std::string_view Range = "range";
inline constexpr std::string_view New = "new";
inline constexpr std::string_view Dsgn = "dsgn";
inline constexpr std::string_view Addr = "addr";
inline constexpr std::string_view Node = "node";

// ---- attributes
inline constexpr std::string_view AttrPos = "pos";
inline constexpr std::string_view AttrPos1 = "pos1";
inline constexpr std::string_view AttrText = "text";
inline constexpr std::string_view AttrUnit = "unit";
inline constexpr std::string_view AttrType = "type";

// ---- texts of `op`
inline constexpr std::string_view OpUnaryMinus = "unminus";
inline constexpr std::string_view OpStrCat = "strcat";
inline constexpr std::string_view OpOpenParen = "(";
inline constexpr std::string_view OpCloseParen = ")";
// The text of the `node` that indexes: `a[1]` is node a, node "[", expr 1.
inline constexpr std::string_view NodeIndex = "[";
// A `<...>` reference in source becomes a call of this function with the bracketed text.
inline constexpr std::string_view GetFunction = "Get";

}  // namespace fsil
