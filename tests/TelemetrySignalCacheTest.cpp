#include "support/EventLoop.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

#include "Telemetry/Signals/SignalCache.h"
#include "Telemetry/Signals/SignalCacheFile.h"

#include <QCoreApplication>
#include <QThread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace vantory::test {
namespace {

namespace fs = std::filesystem;

const QDateTime start(QDate(2025, 3, 1), QTime(14, 0), Qt::UTC);

SignalPostBody recordAt(int second, std::string type = "t", SignalParameters payload = {})
{
    return {start.addSecs(second), "app", "user", "SESSION", std::move(type), std::nullopt, std::move(payload), "false"};
}

std::vector<SignalPostBody> records(int count, int firstSecond = 0)
{
    std::vector<SignalPostBody> made;
    for (int i = 0; i < count; ++i)
        made.push_back(recordAt(firstSecond + i, "t" + std::to_string(firstSecond + i)));
    return made;
}

bool nothingAt(const fs::path& path)
{
    std::error_code error;
    return !fs::exists(fs::symlink_status(path, error));
}

mode_t modeOf(const fs::path& path)
{
    struct stat status { };
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status.st_mode;
}

// A cache whose file sits in a temporary cache folder, every log line captured.
class TelemetrySignalCacheTest : public ::testing::Test {
protected:
    fs::path cacheFolder() const { return folder_ / "cache"; }
    fs::path cachePath() const { return cacheFolder() / "telemetrysignalcache"; }

    std::shared_ptr<SignalCache> makeCache()
    {
        return std::make_shared<SignalCache>(QString::fromStdString(cachePath().string()), log_.handler(LogLevel::debug));
    }

    // A cache that has read its file in the background.
    std::shared_ptr<SignalCache> loadedCache()
    {
        auto cache = makeCache();
        bool loaded = false;
        cache->load(QCoreApplication::instance(), [&] { loaded = true; });
        EXPECT_TRUE(spinUntil([&] { return loaded; }));
        return cache;
    }

    void writeCacheFile(const std::vector<SignalPostBody>& content) const
    {
        folder_.write("cache/telemetrysignalcache", SignalPostBodyCoding::cacheJson(content));
    }

    std::vector<SignalPostBody> popAll(SignalCache& cache) const
    {
        std::vector<SignalPostBody> all;
        for (auto batch = cache.pop(); !batch.empty(); batch = cache.pop())
            all.insert(all.end(), batch.begin(), batch.end());
        return all;
    }

    std::vector<SignalPostBody> savedRecords() const
    {
        const auto read = SignalPostBodyCoding::fromCacheJson(readFile(cachePath()));
        return read ? read->records : std::vector<SignalPostBody>{};
    }

    TempDir folder_;
    LogCapture log_;
};

TEST_F(TelemetrySignalCacheTest, AnEntryThatIsNoSmallRegularFileIsDiscardedWithoutBeingReadAndRemoved)
{
    struct Case {
        const char* description;
        std::function<void(const fs::path& cachePath, const fs::path& outside)> make;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"a pipe nobody writes to", [](const fs::path& path, const fs::path&) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); },
         "it is not a regular file"},
        {"a link to an endless device", [](const fs::path& path, const fs::path&) { fs::create_symlink("/dev/zero", path); },
         "it is not a regular file"},
        {"a dangling link", [](const fs::path& path, const fs::path& outside) { fs::create_symlink(outside, path); },
         "it is not a regular file"},
        {"a link to a good cache file elsewhere",
         [](const fs::path& path, const fs::path& outside) {
             std::ofstream(outside) << SignalPostBodyCoding::cacheJson(records(2));
             fs::create_symlink(outside, path);
         },
         "it is not a regular file"},
        {"a folder", [](const fs::path& path, const fs::path&) { fs::create_directories(path / "inside"); },
         "it is not a regular file"},
        {"a file one byte over the limit",
         [](const fs::path& path, const fs::path&) {
             std::ofstream(path) << "[";
             fs::resize_file(path, SignalCacheFile::maximumBytes + 1); // sparse: nothing is allocated
         },
         "it is larger than 16777216 bytes"},
        {"a file that is no list of signals", [](const fs::path& path, const fs::path&) { std::ofstream(path) << "[{\"type\":"; },
         "it is not a list of signals"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        log_.clear();
        fs::create_directories(cacheFolder());
        const fs::path outside = folder_ / "outside";
        fs::remove(outside);
        testCase.make(cachePath(), outside);
        const bool outsideExisted = fs::exists(outside);

        const auto cache = loadedCache();

        EXPECT_EQ(cache->count(), 0u);
        EXPECT_EQ(log_.lines(LogLevel::error),
                  std::vector<std::string>{std::string("Discarded the Telemetry cache file: ") + testCase.reason});
        EXPECT_TRUE(nothingAt(cachePath())) << "it would come back at every start";
        EXPECT_EQ(fs::exists(outside), outsideExisted) << "a link's target stays as it was";
        // Lets a reader that waits on the pipe go, should the test fail there.
        if (const int writer = open(cachePath().c_str(), O_WRONLY | O_NONBLOCK); writer >= 0)
            close(writer);
    }
}

TEST_F(TelemetrySignalCacheTest, TheFileIsReadOffTheCallingThreadAndRecordsPushedMeanwhileComeAfterIt)
{
    writeCacheFile(records(2));
    std::atomic<QThread*> loadingThread = nullptr;
    auto cache = std::make_shared<SignalCache>(
        QString::fromStdString(cachePath().string()), LogHandler(LogLevel::info, [&](LogLevel, const std::string& message) {
            if (message.starts_with("Loaded"))
                loadingThread = QThread::currentThread();
        }));
    bool loaded = false;

    cache->load(QCoreApplication::instance(), [&] { loaded = true; });
    cache->push(recordAt(100, "pushed"));
    ASSERT_TRUE(spinUntil([&] { return loaded; }));

    EXPECT_NE(loadingThread.load(), nullptr);
    EXPECT_NE(loadingThread.load(), QThread::currentThread());
    std::vector<std::string> types;
    for (const auto& record : popAll(*cache))
        types.push_back(record.type);
    EXPECT_EQ(types, (std::vector<std::string>{"t0", "t1", "pushed"}));
}

TEST_F(TelemetrySignalCacheTest, RecordsDatedOutOfRangeAreDroppedWithALogLine)
{
    nlohmann::json file = nlohmann::json::parse(SignalPostBodyCoding::cacheJson(records(3)));
    file[1]["receivedAt"] = 1e300;
    folder_.write("cache/telemetrysignalcache", file.dump());

    const auto cache = loadedCache();

    EXPECT_EQ(cache->count(), 2u);
    EXPECT_EQ(log_.lines(LogLevel::error), std::vector<std::string>{"Dropped 1 cached signals dated out of range"});
    EXPECT_TRUE(log_.contains(LogLevel::info, "Loaded 2 signals"));
}

TEST_F(TelemetrySignalCacheTest, BeyondItsLimitTheCacheDropsTheOldestRecordsWithALogLine)
{
    const std::size_t limit = SignalCache::maximumNumberOfSignals;
    // The file holds one record too many: the oldest, wherever it stands, goes at the load.
    auto stored = records(static_cast<int>(limit), 10);
    stored.insert(stored.begin() + 7, recordAt(0, "oldest"));
    writeCacheFile(stored);

    const auto cache = loadedCache();
    EXPECT_EQ(cache->count(), limit);
    EXPECT_EQ(log_.lines(LogLevel::error),
              std::vector<std::string>{"Dropped the 1 oldest signals: the cache keeps at most 5000 signals"});

    // A batch that failed comes back at the end, yet its records are older than those in front.
    log_.clear();
    auto batch = cache->pop();
    cache->push(records(100, 100'000));
    cache->push(std::move(batch));
    EXPECT_EQ(cache->count(), limit);
    EXPECT_EQ(log_.lines(LogLevel::error),
              std::vector<std::string>{"Dropped the 100 oldest signals: the cache keeps at most 5000 signals"});
    log_.clear();
    cache->push(recordAt(200'000, "newest"));
    EXPECT_EQ(cache->count(), limit);
    EXPECT_EQ(log_.lines(LogLevel::error),
              std::vector<std::string>{"Dropped the 1 oldest signals: the cache keeps at most 5000 signals"});

    const auto kept = popAll(*cache);
    const auto earliest =
        std::min_element(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.receivedAt < b.receivedAt; });
    EXPECT_EQ(earliest->receivedAt, start.addSecs(10 + 100 + 1)) << "the batch's records were the oldest";
    EXPECT_EQ(kept[kept.size() - 2].type, "t100099") << "the others keep their order";
    EXPECT_EQ(kept.back().type, "newest");
}

TEST_F(TelemetrySignalCacheTest, ASavedFileReplacesWhateverIsAtThePathAndNeverWritesThroughALink)
{
    struct Case {
        const char* description;
        std::function<void(const fs::path& cachePath, const fs::path& outside)> make;
    };
    const std::vector<Case> cases = {
        {"nothing", [](const fs::path&, const fs::path&) {}},
        {"a dangling link", [](const fs::path& path, const fs::path& outside) { fs::create_symlink(outside, path); }},
        {"a link to a file",
         [](const fs::path& path, const fs::path& outside) {
             std::ofstream(outside) << "someone else's";
             fs::create_symlink(outside, path);
         }},
        {"a pipe", [](const fs::path& path, const fs::path&) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"a folder", [](const fs::path& path, const fs::path&) { fs::create_directories(path / "inside"); }},
        {"an old file", [](const fs::path& path, const fs::path&) { std::ofstream(path) << "[]"; }},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        fs::remove_all(cacheFolder());
        const fs::path outside = folder_ / "outside";
        fs::remove(outside);
        const auto cache = loadedCache();
        cache->push(records(3));
        fs::create_directories(cacheFolder());
        testCase.make(cachePath(), outside);
        const std::string outsideBefore = fs::exists(outside) ? readFile(outside) : "";

        cache->backupCache();

        EXPECT_EQ(cache->count(), 0u);
        EXPECT_TRUE(S_ISREG(modeOf(cachePath())));
        EXPECT_EQ(savedRecords(), records(3));
        EXPECT_EQ(fs::exists(outside) ? readFile(outside) : "", outsideBefore) << "nothing written outside the cache folder";
        EXPECT_EQ(std::distance(fs::directory_iterator(cacheFolder()), fs::directory_iterator()), 1)
            << "no temporary file left";
    }
}

TEST_F(TelemetrySignalCacheTest, TheSavedFileAndItsFolderAreTheUsersAlone)
{
    fs::create_directories(cacheFolder());
    fs::permissions(cacheFolder(), fs::perms(0755));
    const auto cache = loadedCache();
    cache->push(records(1));

    cache->backupCache();

    EXPECT_EQ(modeOf(cachePath()) & 07777, 0600u);
    EXPECT_EQ(modeOf(cacheFolder()) & 07777, 0700u) << "an existing folder is narrowed too";
}

TEST_F(TelemetrySignalCacheTest, ASaveTooLargeToBeReadBackDropsTheOldestRecordsFirst)
{
    const auto cache = loadedCache();
    const std::string large(1024 * 1024, 'x');
    for (int i = 0; i < 20; ++i)
        cache->push(recordAt(i, "t" + std::to_string(i), {{"large", large}}));

    cache->backupCache();

    EXPECT_LE(fs::file_size(cachePath()), SignalCacheFile::maximumBytes);
    const auto errors = log_.lines(LogLevel::error);
    ASSERT_FALSE(errors.empty());
    EXPECT_TRUE(errors[0].ends_with("oldest signals: the cache file keeps at most 16777216 bytes")) << errors[0];
    const auto reloaded = loadedCache();
    const auto kept = popAll(*reloaded);
    ASSERT_GE(kept.size(), 14u);
    EXPECT_EQ(kept.back().type, "t19");
    EXPECT_EQ(kept.front().type, "t" + std::to_string(20 - kept.size()));
}

} // namespace
} // namespace vantory::test
