// The product's error classes. Their class names are part of what the user
// and the log see, so each class states its own.
//
// A rule of the code: handlers catch errors by type (`const std::exception&`,
// which every error here derives from, or narrower), never `catch (...)`.
// StopProgram leaves the run by throwing an object that is no error, and only
// the outermost handler (RunGuarded) may see it as one.
#pragma once

#include <exception>
#include <string>

namespace tarvo {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message);

  virtual const char* ClassName() const { return "Exception"; }
  const std::string& Message() const { return message_; }
  // Where the error was raised, for the last-resort report.
  const void* Address() const { return address_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  const void* address_;
};

// Failures of whole-file reading and writing.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "EStreamError"; }
};

class EFOpenError : public EStreamError {
 public:
  explicit EFOpenError(const std::string& path) : EStreamError("Cannot open file " + path) {}
  const char* ClassName() const override { return "EFOpenError"; }
};

class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
  const char* ClassName() const override { return "EReadError"; }
};

class EFCreateError : public EStreamError {
 public:
  explicit EFCreateError(const std::string& path) : EStreamError("Cannot create file " + path) {}
  const char* ClassName() const override { return "EFCreateError"; }
};

class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
  const char* ClassName() const override { return "EWriteError"; }
};

}  // namespace tarvo
