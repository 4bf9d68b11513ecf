#include "sound/worker_thread.h"

#include <condition_variable>
#include <deque>
#include <pthread.h>
#include <thread>

struct TWorkerThread::Queue {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool started = false;
    bool ended = false;
};

namespace {

// The thread's whole life: it holds the queue itself, so the queue outlives the owner if need be.
void Serve(const std::shared_ptr<TWorkerThread::Queue>& queue, const std::string& name) {
    pthread_setname_np(pthread_self(), name.c_str());
    std::unique_lock lock(queue->mutex);
    for (;;) {
        queue->wake.wait(lock, [&] { return queue->ended || !queue->jobs.empty(); });
        if (queue->ended)
            return;
        TWorkerThread::Job job = std::move(queue->jobs.front());
        queue->jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr; // what the job owned goes here, off the lock
        lock.lock();
    }
}

} // namespace

TWorkerThread::TWorkerThread(std::string name)
    : m_name(std::move(name))
    , m_queue(std::make_shared<Queue>()) {}

// The dropped jobs are destroyed outside the lock, as they may own much.
TWorkerThread::~TWorkerThread() {
    std::deque<Job> dropped;
    {
        const std::lock_guard lock(m_queue->mutex);
        m_queue->ended = true;
        dropped.swap(m_queue->jobs);
    }
    m_queue->wake.notify_all();
}

void TWorkerThread::Start() {
    const std::lock_guard lock(m_queue->mutex);
    if (m_queue->started)
        return;
    m_queue->started = true;
    std::thread(Serve, m_queue, m_name).detach();
}

void TWorkerThread::Post(Job job) {
    Start();
    {
        const std::lock_guard lock(m_queue->mutex);
        m_queue->jobs.push_back(std::move(job));
    }
    m_queue->wake.notify_one();
}

// Posted while the lock is held, so the receiver cannot go in between; a call still queued when
// it goes is removed with it.
void TWayBack::Send(std::function<void()> call) {
    const std::lock_guard lock(m_mutex);
    if (m_receiver)
        QMetaObject::invokeMethod(m_receiver, std::move(call), Qt::QueuedConnection);
}

void TWayBack::Close() {
    const std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}
