// The launcher's own operator new and delete, as the library's behave. The
// library's copies were compiled for the Pentium Pro; these follow the
// processor this program is built for, and run at nearly every step.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
  for (;;) {
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    const std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
