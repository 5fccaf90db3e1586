#include "support/TelemetryFixture.h"

#include "Telemetry/Purchases/CurrencyRates.h"
#include "Telemetry/Purchases/TransactionFacts.h"
#include "Telemetry/Purchases/TrialConversionTracker.h"

#include <map>
#include <mutex>
#include <sstream>

namespace vantory::test {
namespace {

// A store's update stream driven by the test: every pushed update reaches the
// observers alive at that moment, on the pushing thread.
class FakeTransactionStream final : public TransactionUpdateSource {
public:
    std::unique_ptr<TransactionObservation> observe(Observer observer) override
    {
        int id = 0;
        {
            std::lock_guard lock(state_->mutex);
            id = state_->nextID++;
            state_->observers.emplace(id, std::move(observer));
        }
        if (deliverOnObserve_)
            return std::make_unique<Observation>(state_, id, *deliverOnObserve_);
        return std::make_unique<Observation>(state_, id);
    }

    void push(const PurchaseTransaction& update)
    {
        std::map<int, Observer> observers;
        {
            std::lock_guard lock(state_->mutex);
            observers = state_->observers;
        }
        for (const auto& [id, observer] : observers)
            observer(update);
    }

    std::size_t observerCount() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->observers.size();
    }

    // Delivers `update` to each new observer before its observation is handed back, as an
    // update arriving while watching begins would.
    void deliverOnObserve(PurchaseTransaction update) { deliverOnObserve_ = std::move(update); }

private:
    struct State {
        mutable std::mutex mutex;
        int nextID = 0;
        std::map<int, Observer> observers;
    };

    class Observation final : public TransactionObservation {
    public:
        Observation(std::shared_ptr<State> state, int id) : state_(std::move(state)), id_(id) { }
        Observation(std::shared_ptr<State> state, int id, const PurchaseTransaction& early) : Observation(std::move(state), id)
        {
            Observer observer;
            {
                std::lock_guard lock(state_->mutex);
                observer = state_->observers.at(id_);
            }
            observer(early);
        }
        ~Observation() override
        {
            std::lock_guard lock(state_->mutex);
            state_->observers.erase(id_);
        }

    private:
        std::shared_ptr<State> state_;
        int id_;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
    std::optional<PurchaseTransaction> deliverOnObserve_;
};

PurchaseTransaction oneTimePurchase(std::optional<std::string> currency, std::optional<double> price)
{
    PurchaseTransaction transaction;
    transaction.productID = "app.vantory.pro";
    transaction.storefrontCountryCode = "DEU";
    transaction.currencyCode = std::move(currency);
    transaction.price = price;
    transaction.productType = ProductType::nonConsumable;
    transaction.originalID = 1001;
    return transaction;
}

PurchaseTransaction trialStart()
{
    PurchaseTransaction transaction;
    transaction.productID = "app.vantory.monthly";
    transaction.subscriptionGroupID = "vantory.plus";
    transaction.storefrontCountryCode = "FRA";
    transaction.currencyCode = "EUR";
    transaction.price = 0;
    transaction.productType = ProductType::autoRenewable;
    transaction.offerType = OfferType::introductory;
    transaction.offerPaymentMode = OfferPaymentMode::freeTrial;
    transaction.originalID = 9'007'199'254'740'993; // beyond a double's exact integers
    return transaction;
}

PurchaseTransaction paidRenewal()
{
    PurchaseTransaction transaction = trialStart();
    transaction.price = 2.99;
    transaction.offerType.reset();
    transaction.offerPaymentMode.reset();
    return transaction;
}

std::string describe(const std::optional<StoredTrial>& trial)
{
    if (!trial)
        return "none";
    std::ostringstream text;
    text << trial->productID << "#" << trial->originalTransactionID;
    return text.str();
}

class TelemetryPurchasesTest : public TelemetryFixture {
protected:
    void SetUp() override
    {
        TelemetryFixture::SetUp();
        forgetTrial();
    }

    void TearDown() override
    {
        forgetTrial();
        TelemetryFixture::TearDown();
    }

    // Leaves the process-wide tracker as a fresh process has it.
    static void forgetTrial()
    {
        Telemetry::terminate();
        TrialConversionTracker::shared().setTransactionSource(nullptr);
        TrialConversionTracker::shared().setCurrentTrial(std::nullopt);
    }

    std::optional<StoredTrial> lastTrial() const
    {
        const auto defaults = Telemetry::customDefaults();
        if (!defaults || !defaults->contains("lastTrial"))
            return std::nullopt;
        return decodedTrial(defaults->value("lastTrial").toByteArray());
    }
};

struct PriceCase {
    const char* description;
    std::optional<std::string> currency;
    std::optional<double> price;
    double expectedUSD;
};

TEST_F(TelemetryPurchasesTest, PricesAreConvertedToUSDollars)
{
    const std::vector<PriceCase> cases = {
        {"euros", "EUR", 4.99, 4.99 / 0.9533},       {"yen", "JPY", 1500, 1500 / 152.3479},
        {"US dollars unchanged", "USD", 4.99, 4.99}, {"unknown currency", "ABC", 4.99, 0},
        {"no currency", std::nullopt, 4.99, 0},      {"no price", "EUR", std::nullopt, 0},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        EXPECT_DOUBLE_EQ(priceInUSD(oneTimePurchase(testCase.currency, testCase.price)), testCase.expectedUSD);
    }
}

TEST_F(TelemetryPurchasesTest, TheRateTableKnowsEveryCurrencyButTheDollar)
{
    const std::string codes =
        "AED AFN ALL AMD ANG AOA ARS AUD AWG AZN BAM BBD BDT BGN BHD BIF BMD BND BOB BRL BSD BTN BWP BYN BZD CAD CDF CHF "
        "CLP CNY COP CRC CUP CVE CZK DJF DKK DOP DZD EGP ERN ETB EUR FJD FKP FOK GBP GEL GGP GHS GIP GMD GNF GTQ GYD HKD "
        "HNL HRK HTG HUF IDR ILS IMP INR IQD IRR ISK JEP JMD JOD JPY KES KGS KHR KID KMF KRW KWD KYD KZT LAK LBP LKR LRD "
        "LSL LYD MAD MDL MGA MKD MMK MNT MOP MRU MUR MVR MWK MXN MYR MZN NAD NGN NIO NOK NPR NZD OMR PAB PEN PGK PHP PKR "
        "PLN PYG QAR RON RSD RUB RWF SAR SBD SCR SDG SEK SGD SHP SLE SLL SOS SRD SSP STN SYP SZL THB TJS TMT TND TOP TRY "
        "TTD TVD TWD TZS UAH UGX UYU UZS VES VND VUV WST XAF XCD XDR XOF XPF YER ZAR ZMW ZWL";
    std::istringstream words(codes);
    int count = 0;
    for (std::string code; words >> code; ++count) {
        const auto rate = CurrencyRates::unitsPerUSDollar(code);
        ASSERT_TRUE(rate.has_value()) << code;
        EXPECT_GT(*rate, 0) << code;
    }
    EXPECT_EQ(count, 161);
    EXPECT_FALSE(CurrencyRates::unitsPerUSDollar("USD").has_value());
    EXPECT_FALSE(CurrencyRates::unitsPerUSDollar("eur").has_value());

    const std::map<std::string, double> referenceRates = {
        {"AED", 3.6725},  {"CAD", 1.4182},   {"CHF", 0.8997},     {"EUR", 0.9533},  {"GBP", 0.7948},
        {"INR", 86.7955}, {"JPY", 152.3479}, {"SLL", 22877.1788}, {"ZWL", 26.4365},
    };
    for (const auto& [code, rate] : referenceRates)
        EXPECT_EQ(CurrencyRates::unitsPerUSDollar(code), rate) << code;
}

TEST_F(TelemetryPurchasesTest, AOneTimePurchaseIsSentWithItsPriceInUSDollars)
{
    const auto recorder = start(makeConfiguration());

    Telemetry::purchaseCompleted(oneTimePurchase("EUR", 4.99), {{"Telemetry.Purchase.countryCode", "AUT"}, {"screen", "store"}},
                                 "user-7");

    const RecordedSignal expected = {"Telemetry.Purchase.completed",
                                     {{"Telemetry.Purchase.type", "one-time-purchase"},
                                      {"Telemetry.Purchase.countryCode", "AUT"},
                                      {"Telemetry.Purchase.productID", "app.vantory.pro"},
                                      {"Telemetry.Purchase.currencyCode", "EUR"},
                                      {"screen", "store"}},
                                     4.99 / 0.9533,
                                     "user-7"};
    EXPECT_EQ(recorder->recordedSignals(), std::vector<RecordedSignal>{expected});
    EXPECT_EQ(describe(lastTrial()), "none");
}

TEST_F(TelemetryPurchasesTest, APurchaseWithoutCurrencyHasNoCurrencyKeyAndAZeroValue)
{
    const auto recorder = start(makeConfiguration());

    Telemetry::purchaseCompleted(oneTimePurchase(std::nullopt, 4.99));

    const auto signals = recorder->recordedSignals();
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_FALSE(signals[0].parameters.contains("Telemetry.Purchase.currencyCode"));
    EXPECT_EQ(signals[0].floatValue, 0.0);
}

struct TrialCase {
    const char* description;
    std::function<void(PurchaseTransaction&)> change;
    bool startsFreeTrial;
    bool isFreeTrial;
};

TEST_F(TelemetryPurchasesTest, FreeTrialsAreToldFromPaidOffers)
{
    const std::vector<TrialCase> cases = {
        {"introductory free trial", [](PurchaseTransaction&) {}, true, true},
        {"no price counts as free", [](PurchaseTransaction& t) { t.price.reset(); }, true, true},
        {"introductory offer at a price", [](PurchaseTransaction& t) { t.price = 0.99; }, false, true},
        {"introductory offer paid as you go",
         [](PurchaseTransaction& t) {
             t.price = 0.99;
             t.offerPaymentMode = OfferPaymentMode::payAsYouGo;
         },
         false, false},
        {"free introductory offer without a payment mode", [](PurchaseTransaction& t) { t.offerPaymentMode.reset(); }, true,
         false},
        {"promotional offer", [](PurchaseTransaction& t) { t.offerType = OfferType::promotional; }, false, false},
        {"no offer", [](PurchaseTransaction& t) { t.offerType.reset(); }, false, false},
        {"not auto-renewable", [](PurchaseTransaction& t) { t.productType = ProductType::nonRenewable; }, false, true},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.description);
        PurchaseTransaction transaction = trialStart();
        testCase.change(transaction);
        EXPECT_EQ(startsFreeTrial(transaction), testCase.startsFreeTrial);
        EXPECT_EQ(isFreeTrial(transaction), testCase.isFreeTrial);
    }
}

TEST_F(TelemetryPurchasesTest, ATrialIsWatchedFromItsStartToItsConversion)
{
    const auto recorder = start(makeConfiguration());
    const auto stream = std::make_shared<FakeTransactionStream>();
    TrialConversionTracker::shared().setTransactionSource(stream);
    const std::string trial = "app.vantory.monthly#9007199254740993";

    Telemetry::purchaseCompleted(trialStart(), {}, "user-7");
    EXPECT_EQ(recorder->recordedSignals(),
              (std::vector<RecordedSignal>{
                  {"Telemetry.Purchase.freeTrialStarted", purchaseParameters(trialStart()), std::nullopt, "user-7"}}));
    EXPECT_EQ(describe(lastTrial()), trial);
    EXPECT_EQ(stream->observerCount(), 1u);

    struct Step {
        const char* description;
        std::function<void(PurchaseTransaction&)> change;
    };
    const std::vector<Step> ignored = {
        {"another product", [](PurchaseTransaction& t) { t.productID = "app.vantory.yearly"; }},
        {"another original transaction", [](PurchaseTransaction& t) { t.originalID += 1; }},
        {"unverified", [](PurchaseTransaction& t) { t.isVerified = false; }},
    };
    for (const auto& step : ignored) {
        SCOPED_TRACE(step.description);
        PurchaseTransaction update = paidRenewal();
        step.change(update);
        stream->push(update);
        EXPECT_EQ(recorder->recordedSignals().size(), 1u);
        EXPECT_EQ(describe(lastTrial()), trial);
    }
    stream->push(trialStart());
    EXPECT_EQ(recorder->recordedSignals().size(), 1u) << "still a trial";
    EXPECT_EQ(describe(lastTrial()), trial);

    PurchaseTransaction renewal = paidRenewal();
    renewal.expirationDate = now_.addDays(30); // the renewed period, still ahead
    stream->push(renewal);
    const RecordedSignal converted = {"Telemetry.Purchase.convertedFromTrial", purchaseParameters(renewal), 2.99 / 0.9533, {}};
    EXPECT_EQ(recorder->recordedSignals().back(), converted);
    EXPECT_EQ(recorder->recordedSignals().size(), 2u);
    EXPECT_EQ(describe(lastTrial()), "none");
    EXPECT_EQ(stream->observerCount(), 0u);

    stream->push(renewal);
    EXPECT_EQ(recorder->recordedSignals().size(), 2u) << "converted once";
}

TEST_F(TelemetryPurchasesTest, ARefundAnExpiryOrAnUpgradeEndsTheTrialWithoutASignal)
{
    const std::vector<std::pair<const char*, std::function<void(PurchaseTransaction&)>>> endings = {
        {"revoked", [this](PurchaseTransaction& t) { t.revocationDate = now_; }},
        {"expired", [this](PurchaseTransaction& t) { t.expirationDate = now_.addSecs(-1); }},
        {"upgraded", [](PurchaseTransaction& t) { t.isUpgraded = true; }},
        {"revoked while still a trial",
         [this](PurchaseTransaction& t) {
             t = trialStart();
             t.revocationDate = now_;
         }},
    };
    for (const auto& [description, change] : endings) {
        SCOPED_TRACE(description);
        forgetTrial();
        const auto recorder = start(makeConfiguration());
        const auto stream = std::make_shared<FakeTransactionStream>();
        TrialConversionTracker::shared().setTransactionSource(stream);
        Telemetry::purchaseCompleted(trialStart());

        PurchaseTransaction update = paidRenewal();
        change(update);
        stream->push(update);

        EXPECT_EQ(recorder->recordedSignals().size(), 1u);
        EXPECT_EQ(describe(lastTrial()), "none");
        EXPECT_EQ(stream->observerCount(), 0u);
        stream->push(paidRenewal());
        EXPECT_EQ(recorder->recordedSignals().size(), 1u) << "no longer watched";
    }
}

TEST_F(TelemetryPurchasesTest, AnUpdateArrivingAsWatchingBeginsSeesTheNewTrial)
{
    const auto recorder = start(makeConfiguration());
    const auto stream = std::make_shared<FakeTransactionStream>();
    stream->deliverOnObserve(paidRenewal());
    TrialConversionTracker::shared().setTransactionSource(stream);

    Telemetry::purchaseCompleted(trialStart());

    const auto signals = recorder->recordedSignals();
    ASSERT_EQ(signals.size(), 2u);
    EXPECT_EQ(signals[1].name, "Telemetry.Purchase.convertedFromTrial");
    EXPECT_EQ(describe(lastTrial()), "none");
    EXPECT_EQ(stream->observerCount(), 0u) << "a watch for a finished trial is not kept";
}

TEST_F(TelemetryPurchasesTest, ATrialLeftByAnEarlierRunIsWatchedAgainAtStartUp)
{
    const auto recorder = start(makeConfiguration());
    Telemetry::customDefaults()->setValue("lastTrial", encoded({"app.vantory.monthly", trialStart().originalID}));
    TrialConversionTracker tracker;
    const auto stream = std::make_shared<FakeTransactionStream>();

    tracker.setTransactionSource(stream);
    EXPECT_EQ(describe(tracker.currentTrial()), "app.vantory.monthly#9007199254740993");
    EXPECT_EQ(stream->observerCount(), 1u);
    stream->push(paidRenewal());

    const auto signals = recorder->recordedSignals();
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_EQ(signals[0].name, "Telemetry.Purchase.convertedFromTrial");
    EXPECT_EQ(describe(lastTrial()), "none");
}

TEST_F(TelemetryPurchasesTest, UnreadableTrialDataCountsAsNoTrial)
{
    start(makeConfiguration());
    const std::vector<QByteArray> unreadable = {
        "",
        "not json",
        "[]",
        R"({"productID":"a"})",
        R"({"productID":"a","originalTransactionID":-4})",
        R"({"productID":7,"originalTransactionID":4})",
    };
    for (const auto& data : unreadable) {
        SCOPED_TRACE(data.toStdString());
        Telemetry::customDefaults()->setValue("lastTrial", data);
        TrialConversionTracker tracker;
        const auto stream = std::make_shared<FakeTransactionStream>();
        tracker.setTransactionSource(stream);
        EXPECT_EQ(describe(tracker.currentTrial()), "none");
        EXPECT_EQ(stream->observerCount(), 0u);
    }
}

TEST_F(TelemetryPurchasesTest, StoredTrialsKeepLargeTransactionIDsExactly)
{
    const StoredTrial trial = {"app.vantory.monthly", 18'446'744'073'709'551'615u};
    EXPECT_EQ(encoded(trial), R"({"productID":"app.vantory.monthly","originalTransactionID":18446744073709551615})");
    EXPECT_EQ(decodedTrial(encoded(trial)), trial);
}

} // namespace
} // namespace vantory::test
