#include "support/SmallStack.h"

#include <pthread.h>

#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

namespace thorn::test {
namespace {

struct Job {
    const std::function<void()>* body;
    std::exception_ptr thrown;
};

void* RunJob(void* argument) {
    auto* job = static_cast<Job*>(argument);
    try {
        (*job->body)();
    } catch (...) {
        job->thrown = std::current_exception();
    }
    return nullptr;
}

void Check(int error, const char* what) {
    if (error != 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(error));
}

}  // namespace

void RunWithStack(size_t stackBytes, const std::function<void()>& body) {
    Job job{&body, nullptr};
    pthread_attr_t attributes;
    Check(pthread_attr_init(&attributes), "pthread_attr_init");
    const int sized = pthread_attr_setstacksize(&attributes, stackBytes);
    pthread_t thread;
    const int made = sized == 0 ? pthread_create(&thread, &attributes, RunJob, &job) : sized;
    pthread_attr_destroy(&attributes);
    Check(made, "starting a thread");
    Check(pthread_join(thread, nullptr), "pthread_join");
    if (job.thrown) std::rethrow_exception(job.thrown);
}

}  // namespace thorn::test
