// The launcher's helpers for the standard library's errors, under the real
// Windows: the product's error, named and worded as the library's. They take
// the library's place at link time, so only a program linked as the launcher
// is shows them: not a GoogleTest one, which needs the library's own.
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/exceptions.h"

int main() {
  struct Case {
    void (*raise)();
    const char* className;
    const char* message;
  };
  const Case cases[] = {
      {[] { (void)std::string("abc").substr(5); }, "std::out_of_range",
       "basic_string::substr: __pos (which is 5) > this->size() (which is 3)"},
      {[] { (void)std::vector<int>(2).at(7); }, "std::out_of_range",
       "vector::_M_range_check: __n (which is 7) >= this->size() (which is 2)"},
      {[] { std::string(static_cast<const char*>(nullptr)); }, "std::logic_error",
       "basic_string: construction from null is not valid"},
      {[] { std::string().reserve(std::string().max_size() + 1); }, "std::length_error",
       "basic_string::_M_create"},
      {[] { (void)std::stoi("tien"); }, "std::invalid_argument", "stoi"},
      {[] { (void)std::stoi("99999999999999999999"); }, "std::out_of_range", "stoi"},
      // These two the launcher raises as the library's own classes.
      {[] { (void)std::allocator<int>().allocate(std::size_t(-1) / sizeof(int) / 2 + 1); },
       "std::bad_alloc", "std::bad_alloc"},
      {[] { (void)std::allocator<int>().allocate(std::size_t(-1) / sizeof(int) + 1); },
       "std::bad_array_new_length", "std::bad_array_new_length"},
  };
  int failed = 0;
  for (const Case& c : cases) {
    std::string got = "nothing";
    try {
      c.raise();
    } catch (const tarvo::Exception& e) {
      if (e.ClassName() == std::string(c.className) && e.Message() == c.message) continue;
      got = e.ClassName() + (" \"" + e.Message() + "\"");
    } catch (const std::bad_alloc& e) {
      // bad_array_new_length derives from it; typeid tells them apart.
      const bool expected = (typeid(e) == typeid(std::bad_alloc) ? "std::bad_alloc"
                                                                  : "std::bad_array_new_length") ==
                            std::string(c.className);
      if (expected && e.what() == std::string(c.message)) continue;
      got = std::string("the library's \"") + e.what() + "\"";
    } catch (const std::exception& e) {
      got = std::string("the library's own error \"") + e.what() + "\"";
    }
    ++failed;
    std::printf("FAILED: expected %s \"%s\", got %s\n", c.className, c.message, got.c_str());
  }
  std::printf("%d of %d library errors as the launcher raises them\n",
              static_cast<int>(std::size(cases)) - failed, static_cast<int>(std::size(cases)));
  return failed == 0 ? 0 : 1;
}
