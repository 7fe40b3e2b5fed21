#pragma once

#include "md5/LaneFileHasher.h"
#include "md5/Md5Lanes.h"
#include "platform/FileAccess.h"
#include "tools/cli/CliProgressEngine.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

// What became of one named file: its digest, or why there is none.
struct FileOutcome {
    std::string digest;
    std::string reason;    // the system's words, as md5sum gives them
    bool missing = false;  // the name names nothing
};

// Hashes one name the way md5sum reads it: "-" is standard input; FIFOs, devices and empty
// files are read to their end; a regular file that changes while read gets no digest. With
// `showProgress`, the engine draws progress under the quoted name.
FileOutcome HashNamedFile(CCliProgressEngine& engine, const std::string& name, bool upperCase, bool showProgress = false);

// The same, except that a regular file with a size goes into a free lane of `lanes`: then
// nothing is returned, and the file's outcome comes from the lanes under `tag`.
std::optional<FileOutcome> HashNamedFileInLane(CLaneFileHasher& lanes, void* tag, CMd5Engine& engine, const std::string& name,
                                               bool upperCase, std::vector<CLaneFileHasher::Finished>& finished);
FileOutcome OutcomeOf(CLaneFileHasher::Finished&& finished);

// Takes jobs from `produce` in order until it has none, hashes the file each names (`nameOf`;
// none, and its outcome is empty) and hands each job with its outcome to `deliver` on the
// calling thread, in order. `produce` is called by one thread at a time, in batches a little
// ahead of the jobs taken, and at most kWindow jobs wait: memory stays bounded whatever the count.
//
// Up to `jobs` threads hash at once. Where the processor has vector lanes, each thread hashes
// many files side by side, one per lane, while its helper reads ahead (CLaneFileHasher). Else,
// for a single file, or when progress is to be shown, each file is hashed alone; with one job
// then all runs on the calling thread, through `engine`, which shows the progress.
template <class Job> class COrderedHasher {
public:
    using Produce = std::function<bool(Job& job)>;
    using NameOf = std::function<const std::string*(const Job& job)>;
    using Deliver = std::function<void(const Job& job, const FileOutcome& outcome)>;
    struct Settings {
        unsigned jobs = 1;
        bool upperCase = false;
        bool progress = false;
        bool oneFile = false;  // known to be a single file: the single-stream road is the fastest
    };

    static void Run(const Settings& settings, CCliProgressEngine& engine, const Produce& produce, const NameOf& nameOf,
                    const Deliver& deliver)
    {
        const bool alone = settings.progress || settings.oneFile;
        const std::vector<CMd5Lanes::Kernel> kernels = alone ? std::vector<CMd5Lanes::Kernel>() : CMd5Lanes::AvailableKernels();
        if (kernels.empty() && settings.jobs <= 1)
            return HashInTurn(settings, engine, produce, nameOf, deliver);
        COrderedHasher hasher(settings, produce, nameOf);
        std::vector<std::thread> workers;
        try {
            // As many workers as threads can be had; with none, the files are hashed in turn here.
            while (workers.size() < settings.jobs && hasher.StartWorker(workers, kernels, engine)) {}
            if (workers.empty())
                return HashInTurn(settings, engine, produce, nameOf, deliver);
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
    static constexpr std::size_t kWindow = 1024;
    // Outcomes wait for the deliverer in groups: waking it, or a worker, for each tiny file
    // would cost more than its hashing.
    static constexpr std::size_t kDeliveredTogether = 256;
    static constexpr std::size_t kMostTakenTogether = 32;
    static constexpr std::size_t kProducedTogether = 64;
    static constexpr int kTriesBeforeSleeping = 20;

    struct Slot {
        Job job;
        std::optional<FileOutcome> outcome;
    };

    COrderedHasher(const Settings& settings, const Produce& produce, const NameOf& nameOf)
        : m_settings(settings)
        , m_produce(produce)
        , m_nameOf(nameOf)
    {
    }

    // Up to `most` jobs in a row that no worker has yet into `claimed`, produced as far as the
    // window has room; none once there are no more, or, unless `wait`, none now.
    bool Claim(std::unique_lock<std::mutex>& lock, std::size_t most, bool wait, std::vector<Slot*>& claimed)
    {
        claimed.clear();
        while (!m_quit && claimed.size() < most) {
            if (m_claimed < m_window.size()) {
                claimed.push_back(&m_window[m_claimed++]);
                continue;
            }
            if (m_producedAll)
                break;
            if (!m_producing && m_window.size() < kWindow) {
                ProduceMore(lock);
                continue;
            }
            if (!claimed.empty() || !wait)
                break;
            m_claimable.wait(lock);
        }
        // Jobs ready for the next claim, so that no worker waits while another produces them.
        if (!m_quit && !m_producing && !m_producedAll && m_window.size() - m_claimed < kProducedTogether && m_window.size() < kWindow)
            ProduceMore(lock);
        return !claimed.empty();
    }

    // Takes the lock again. It is held only for moments, by threads that may share a processor:
    // a few tries, giving way between them, cost less than a contended wait's sleep and wake-up.
    static void Relock(std::unique_lock<std::mutex>& lock)
    {
        for (int attempt = 0; attempt < kTriesBeforeSleeping && !lock.try_lock(); ++attempt)
            std::this_thread::yield();
        if (!lock.owns_lock())
            lock.lock();
    }

    // More jobs into the window, produced out of the lock: the other workers meanwhile claim and
    // record, and the deliverer delivers.
    void ProduceMore(std::unique_lock<std::mutex>& lock)
    {
        const std::size_t room = std::min(kProducedTogether, kWindow - m_window.size());
        m_producing = true;
        lock.unlock();
        bool ended = false;
        try {
            while (m_produced.size() < room && !ended) {
                Job job;
                ended = !m_produce(job);
                if (!ended)
                    m_produced.push_back(std::move(job));
            }
        } catch (...) {
            Relock(lock);
            m_producing = false;
            m_produced.clear();
            throw;
        }
        Relock(lock);
        m_producing = false;
        for (Job& job : m_produced)
            m_window.push_back({std::move(job), std::nullopt});
        m_produced.clear();
        m_producedAll = ended;
        if (ended)
            m_ready.notify_one();  // the deliverer may be waiting for the end
        m_claimable.notify_all();
    }

    static void HashInTurn(const Settings& settings, CCliProgressEngine& engine, const Produce& produce, const NameOf& nameOf,
                           const Deliver& deliver)
    {
        for (Job job; produce(job);) {
            const std::string* name = nameOf(job);
            deliver(job, name ? HashNamedFile(engine, *name, settings.upperCase, settings.progress) : FileOutcome());
        }
    }

    // A worker's failure (out of memory) ends the run and is thrown again on the caller's thread.
    bool StartWorker(std::vector<std::thread>& workers, const std::vector<CMd5Lanes::Kernel>& kernels, CCliProgressEngine& engine)
    {
        try {
            workers.emplace_back([this, &kernels, &engine] {
                zanfo::UseOwnFileTable();  // the workers open and close most of the files
                try {
                    if (kernels.empty())
                        Work(engine.ProgressOut());
                    else
                        WorkInLanes(kernels.front(), engine.ProgressOut());
                } catch (...) {
                    Fail(std::current_exception());
                }
            });
            return true;
        } catch (const std::system_error&) {
            return false;  // no thread to be had
        }
    }

    // Whether the deliverer has enough to do: a group of outcomes in order, or the window is
    // full, or all there will be.
    bool DeliveryDue() const { return m_inOrder > 0 && (m_inOrder >= kDeliveredTogether || m_window.size() == kWindow || m_producedAll); }

    void Work(std::ostream& progressOut)
    {
        CCliProgressEngine engine(progressOut);
        // Quick jobs are taken more at a time, slow ones one by one, so that a few large files
        // still spread over the workers.
        std::size_t takeTogether = 1;
        std::unique_lock<std::mutex> lock(m_mutex);
        std::vector<Slot*> slots;
        std::vector<std::pair<Slot*, FileOutcome>> outcomes;
        while (Claim(lock, takeTogether, true, slots)) {
            lock.unlock();
            const auto start = std::chrono::steady_clock::now();
            for (Slot* slot : slots) {
                const std::string* name = m_nameOf(slot->job);
                outcomes.emplace_back(slot, name ? HashNamedFile(engine, *name, m_settings.upperCase) : FileOutcome());
            }
            const bool quick = std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1);
            takeTogether = quick ? std::min(2 * takeTogether, kMostTakenTogether) : 1;
            Relock(lock);
            Record(outcomes);
        }
    }

    // Files side by side in the lanes of `kernel`, taken as lanes come free; a thread waits for
    // jobs only when none of its lanes has a file.
    void WorkInLanes(const CMd5Lanes::Kernel& kernel, std::ostream& progressOut)
    {
        CCliProgressEngine engine(progressOut);  // for what is no regular file
        CLaneFileHasher lanes(kernel, m_settings.upperCase);
        std::vector<CLaneFileHasher::Finished> finished;
        std::vector<std::pair<Slot*, FileOutcome>> outcomes;
        std::vector<Slot*> slots;
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (!Claim(lock, static_cast<std::size_t>(lanes.FreeLanes()), !lanes.Busy(), slots) && !lanes.Busy())
                return;
            lock.unlock();
            for (Slot* slot : slots) {
                const std::string* name = m_nameOf(slot->job);
                std::optional<FileOutcome> outcome =
                    name ? HashNamedFileInLane(lanes, slot, engine, *name, m_settings.upperCase, finished) : FileOutcome();
                if (outcome)
                    outcomes.emplace_back(slot, std::move(*outcome));
            }
            lanes.Step(finished);
            for (CLaneFileHasher::Finished& file : finished)
                outcomes.emplace_back(static_cast<Slot*>(file.tag), OutcomeOf(std::move(file)));
            finished.clear();
            Relock(lock);
            Record(outcomes);
        }
    }

    // Outcomes in, under the lock; the deliverer woken when its turn has come.
    void Record(std::vector<std::pair<Slot*, FileOutcome>>& outcomes)
    {
        for (auto& [slot, outcome] : outcomes)
            slot->outcome = std::move(outcome);
        outcomes.clear();
        while (m_inOrder < m_window.size() && m_window[m_inOrder].outcome)
            ++m_inOrder;
        if (DeliveryDue() || (m_producedAll && m_claimed == m_window.size()))
            m_ready.notify_one();
    }

    void DeliverAll(const Deliver& deliver)
    {
        std::vector<Slot> done;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_ready.wait(lock, [&] { return m_failure || DeliveryDue() || (m_producedAll && m_window.empty()); });
                if (m_failure)
                    std::rethrow_exception(m_failure);
                // Every outcome ready in order goes at once, and out of the lock.
                while (!m_window.empty() && m_window.front().outcome) {
                    done.push_back(std::move(m_window.front()));
                    m_window.pop_front();
                    --m_claimed;
                }
                m_inOrder = 0;
            }
            m_claimable.notify_all();
            if (done.empty())
                return;
            for (const Slot& slot : done)
                deliver(slot.job, *slot.outcome);
            done.clear();
        }
    }

    void Fail(std::exception_ptr failure)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_failure)
                m_failure = failure;
            m_quit = true;
        }
        m_ready.notify_one();
        m_claimable.notify_all();
    }

    void Quit()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_claimable.notify_all();
    }

    const Settings& m_settings;
    const Produce& m_produce;
    const NameOf& m_nameOf;
    std::mutex m_mutex;
    std::condition_variable m_ready;      // the next outcome in order, or the end
    std::condition_variable m_claimable;  // room in the window, or jobs produced
    std::deque<Slot> m_window;            // produced jobs not yet delivered, in order
    std::size_t m_claimed = 0;            // of m_window, taken by workers
    std::size_t m_inOrder = 0;            // of m_window, from its front, with their outcome
    bool m_producedAll = false;
    bool m_producing = false;  // by a worker, out of the lock, into m_produced
    std::vector<Job> m_produced;
    bool m_quit = false;
    std::exception_ptr m_failure;  // the first worker's that failed
};
