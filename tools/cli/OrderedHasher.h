#pragma once

#include "tools/cli/CliProgressEngine.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What became of one named file: its digest, or why there is none.
struct FileOutcome {
    std::string digest;
    std::string reason;    // the system's words, as md5sum gives them
    bool missing = false;  // the name names nothing
};

// Hashes one name the way md5sum reads it: "-" is standard input; FIFOs, devices and empty
// files are read to their end; a regular file that changes while read gets no digest.
FileOutcome HashNamedFile(CMd5Engine& engine, const std::string& name, bool upperCase);

// Takes jobs from `produce` in order until it has none, runs `hash` for each on up to `jobs`
// threads, each with an engine of its own, and hands each job with its outcome to `deliver` on
// the calling thread, in order. `produce` is called by one thread at a time, only as jobs are
// taken, and at most kWindow jobs wait: memory stays bounded whatever the count. With one job
// all runs on the calling thread, through `engine`, which may then show progress.
template <class Job> class COrderedHasher {
public:
    using Produce = std::function<bool(Job& job)>;
    using Hash = std::function<FileOutcome(CCliProgressEngine& engine, const Job& job)>;
    using Deliver = std::function<void(const Job& job, const FileOutcome& outcome)>;

    static void Run(unsigned jobs, CCliProgressEngine& engine, const Produce& produce, const Hash& hash, const Deliver& deliver)
    {
        if (jobs <= 1) {
            for (Job job; produce(job);)
                deliver(job, hash(engine, job));
            return;
        }
        COrderedHasher hasher(produce, hash);
        std::vector<std::thread> workers;
        try {
            for (unsigned i = 0; i < jobs; ++i)
                workers.emplace_back([&] { hasher.Work(engine.ProgressOut()); });
            hasher.DeliverAll(deliver);
        } catch (...) {
            hasher.Quit();
            for (std::thread& worker : workers)
                worker.join();
            throw;
        }
        for (std::thread& worker : workers)
            worker.join();
    }

private:
    static constexpr std::size_t kWindow = 256;
    // Outcomes wait for the deliverer in groups: waking it, or a worker, for each tiny file
    // would cost more than its hashing.
    static constexpr std::size_t kDeliveredTogether = 64;
    static constexpr std::size_t kMostTakenTogether = 32;

    struct Slot {
        Job job;
        std::optional<FileOutcome> outcome;
    };

    COrderedHasher(const Produce& produce, const Hash& hash)
        : m_produce(produce)
        , m_hash(hash)
    {
    }

    // Up to `most` jobs in a row that no worker has yet, produced as far as none waits; none
    // once there are no more.
    std::vector<Slot*> Claim(std::unique_lock<std::mutex>& lock, std::size_t most)
    {
        std::vector<Slot*> claimed;
        while (!m_quit && claimed.size() < most) {
            if (m_claimed < m_window.size()) {
                claimed.push_back(&m_window[m_claimed++]);
                continue;
            }
            if (!claimed.empty() || m_producedAll)
                break;
            if (m_window.size() < kWindow) {
                Job job;
                m_producedAll = !m_produce(job);
                if (m_producedAll)
                    m_ready.notify_one();  // the deliverer may be waiting for the end
                else
                    m_window.push_back({std::move(job), std::nullopt});
                continue;
            }
            m_spaceFreed.wait(lock);
        }
        return claimed;
    }

    // Whether the deliverer has enough to do: the next outcome is there and a group waits, or
    // all there will be.
    bool DeliveryDue() const
    {
        return !m_window.empty() && m_window.front().outcome &&
               (m_finished >= kDeliveredTogether || m_window.size() == kWindow || m_producedAll);
    }

    void Work(std::ostream& progressOut)
    {
        CCliProgressEngine engine(progressOut);
        // Quick jobs are taken more at a time, slow ones one by one, so that a few large files
        // still spread over the workers.
        std::size_t takeTogether = 1;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (std::vector<Slot*> slots; !(slots = Claim(lock, takeTogether)).empty();) {
            lock.unlock();
            const auto start = std::chrono::steady_clock::now();
            std::vector<FileOutcome> outcomes;
            for (const Slot* slot : slots)
                outcomes.push_back(m_hash(engine, slot->job));
            const bool quick = std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1);
            takeTogether = quick ? std::min(2 * takeTogether, kMostTakenTogether) : 1;
            lock.lock();
            for (std::size_t i = 0; i < slots.size(); ++i)
                slots[i]->outcome = std::move(outcomes[i]);
            m_finished += slots.size();
            if (DeliveryDue() || (m_producedAll && m_claimed == m_window.size()))
                m_ready.notify_one();
        }
    }

    void DeliverAll(const Deliver& deliver)
    {
        std::vector<Slot> done;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_ready.wait(lock, [&] { return DeliveryDue() || (m_producedAll && m_window.empty()); });
                // Every outcome ready in order goes at once, and out of the lock.
                while (!m_window.empty() && m_window.front().outcome) {
                    done.push_back(std::move(m_window.front()));
                    m_window.pop_front();
                    --m_claimed;
                    --m_finished;
                }
            }
            m_spaceFreed.notify_all();
            if (done.empty())
                return;
            for (const Slot& slot : done)
                deliver(slot.job, *slot.outcome);
            done.clear();
        }
    }

    void Quit()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_spaceFreed.notify_all();
    }

    const Produce& m_produce;
    const Hash& m_hash;
    std::mutex m_mutex;
    std::condition_variable m_ready;       // the next outcome in order, or the end
    std::condition_variable m_spaceFreed;  // room in the window
    std::deque<Slot> m_window;             // produced jobs not yet delivered, in order
    std::size_t m_claimed = 0;             // of m_window, taken by workers
    std::size_t m_finished = 0;            // of m_window, with their outcome
    bool m_producedAll = false;
    bool m_quit = false;
};
