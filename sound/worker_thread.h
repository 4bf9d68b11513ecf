#pragma once
// A thread that runs jobs one after another for one owner object, and the way from such a job
// back to that object. Nothing here ever waits for the thread: a job may be stuck for long on a
// sound server that stopped answering, and the owner's end must not wait for it (a window
// closing, the program ending).
//
// The thread touches only what its jobs own: each job holds, shared, whatever it needs, never
// its owner's `this`. When the owner goes, the jobs not yet begun are dropped and the thread is
// let go; it ends by itself once the job it is in returns.
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class TWorkerThread {
public:
    using Job = std::function<void()>;
    // `name` is what the system shows for the thread (15 characters at most).
    explicit TWorkerThread(std::string name);
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Starts the thread, unless it runs already.
    void Start();
    // Runs `job` on the thread after those posted before it; starts the thread if need be.
    void Post(Job job);

    struct Queue;

private:
    std::string m_name;
    std::shared_ptr<Queue> m_queue;
};

// Shared by a user-interface object and its jobs: a call sent from any thread runs on the
// object's thread, in order, and only while the object lives; once it has closed the way (as
// it goes), calls are dropped. The call may therefore use the object.
class TWayBack {
public:
    explicit TWayBack(QObject* receiver)
        : m_receiver(receiver) {}
    void Send(std::function<void()> call);
    // On the receiver's thread, before the receiver goes.
    void Close();

private:
    std::mutex m_mutex;
    QObject* m_receiver; // null once closed
};
