#pragma once
// The texts of the mask expression compiler and matcher; "%s" takes the character named.
// Each passes through TranslateLibraryString before use.
namespace cxRegExprText {
inline constexpr const char* SourceNotAssigned = "此源流没有被赋值";
inline constexpr const char* SourceEmpty = "此源流是空的";
inline constexpr const char* Missing = "缺少 \"%s\"";
inline constexpr const char* Unnecessary = "不必要的 \"%s\"";
inline constexpr const char* SpaceAfterBackslash = "在 \"\\\" 后不能出现空格字符";
inline constexpr const char* HexExpected = "期待十六进制数";
inline constexpr const char* HexExpectedNot = "期待十六进制数而不是\"%s\"";
inline constexpr const char* Illegal = "不合规定的 \"%s\"";
inline constexpr const char* EmptyAlternative = "二中择一不能为空";
inline constexpr const char* EmptyBlock = "此块应该为空";
inline constexpr const char* IllegalQuantifier = "不合规定的量词 \"%s\"";
inline constexpr const char* PlusNotApplicable = "符号 \"+\" 不能应用到这";
inline constexpr const char* StarNotApplicable = "符号 \"*\" 不能应用到这";
inline constexpr const char* WrongParameter = "错误的参数";
inline constexpr const char* ParameterNotApplicable = "此参数不能应用在此处";
inline constexpr const char* IllegalInteger = "不合法的整数值";
inline constexpr const char* ReferenceTooBig = "引用数太大";
inline constexpr const char* EmptyEnumeration = "不能创建空的枚举值";
inline constexpr const char* SubrangeOrder = "子串的开始字符位置不能超出结束字符位置";
inline constexpr const char* TooLarge = "表达式太大";
inline constexpr const char* NotCompiled = "规则表达式不能编译";
}  // namespace cxRegExprText
