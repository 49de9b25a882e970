#pragma once
// The error texts of the editor library's value streams.

constexpr const char* cxSDataReadError = "流读取错误";
constexpr const char* cxSDataWriteError = "流写入错误";
