#include "Platform/PdfInspection.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

using namespace vantory;

TEST(PdfInspection, PlainPdfIsNotEncryptedAndOpensWithAnything)
{
    test::TempDir dir;
    const auto pdf = test::writePdf(dir / "plain.pdf");
    EXPECT_FALSE(isEncryptedPDF(pdf));
    EXPECT_TRUE(pdfOpensWithPassword(pdf, ""));
    EXPECT_TRUE(pdfOpensWithPassword(pdf, "anything"));
}

TEST(PdfInspection, LockedPdfOpensWithEitherPasswordOnly)
{
    test::TempDir dir;
    const auto pdf = test::writePdf(dir / "locked.pdf", test::PdfPasswords{"user-pw", "owner-pw"});
    EXPECT_TRUE(isEncryptedPDF(pdf));
    EXPECT_TRUE(pdfOpensWithPassword(pdf, "user-pw"));
    EXPECT_TRUE(pdfOpensWithPassword(pdf, "owner-pw"));
    EXPECT_FALSE(pdfOpensWithPassword(pdf, "wrong"));
    EXPECT_FALSE(pdfOpensWithPassword(pdf, ""));
}

TEST(PdfInspection, PdfWithOnlyAnOwnerPasswordIsEncryptedButNotLocked)
{
    test::TempDir dir;
    const auto pdf = test::writePdf(dir / "owner.pdf", test::PdfPasswords{"", "owner-pw"});
    EXPECT_TRUE(isEncryptedPDF(pdf));
    EXPECT_TRUE(pdfOpensWithPassword(pdf, "wrong"));
}

TEST(PdfInspection, WhatIsNoPdfIsNeitherEncryptedNorOpened)
{
    test::TempDir dir;
    const auto fake = dir.write("fake.pdf", "this is not a PDF at all\n");
    const auto plain = test::writePdf(dir / "plain.pdf");
    const std::string bytes = test::readFile(plain);
    const auto truncated = dir.write("truncated.pdf", bytes.substr(0, 20));
    for (const auto& file : {fake, truncated, dir / "missing.pdf", dir.path()}) {
        SCOPED_TRACE(file.string());
        EXPECT_FALSE(isEncryptedPDF(file));
        EXPECT_FALSE(pdfOpensWithPassword(file, ""));
    }
}

TEST(PdfInspection, ChecksRunSideBySideOnBackgroundThreads)
{
    test::TempDir dir;
    const auto locked = test::writePdf(dir / "locked.pdf", test::PdfPasswords{"u", "o"});
    std::vector<int> verdicts(6, -1);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < verdicts.size(); ++i)
        threads.emplace_back([&, i] { verdicts[i] = i % 2 ? isEncryptedPDF(locked) : pdfOpensWithPassword(locked, "u"); });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(verdicts, std::vector<int>(6, 1));
}
