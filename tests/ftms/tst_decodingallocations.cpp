#include "DecoderTesting.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation through operator new in this test program, so a decoder that builds a
// temporary container or string shows up.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

using namespace tallyfin;
using namespace tallyfin::testing;

class TestDecodingAllocations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodingDoesNotAllocate_data() {
        QTest::addColumn<EquipmentType>("type");
        QTest::addColumn<QByteArray>("value");
        // Every field announced and present, then every field announced but the value cut short.
        QTest::newRow("bike") << EquipmentType::bike
                              << hex("FE0F 2900 1111 B500 2222 40E201 0700 9CFF 3333 "
                                     "2C01000000 8C 05 3C00");
        QTest::newRow("bike, short") << EquipmentType::bike << hex("FE1F29");
        QTest::newRow("rower") << EquipmentType::rower
                               << hex("FE0F 2D1000 11 102700 F000 2222 C800 3333 0C00 "
                                      "2C01000000 8C 05 3C00");
        QTest::newRow("treadmill")
            << EquipmentType::treadmill
            << hex("FE1F 2900 1111 102700 F1FF 0000 1111 2222 01 02 2C01000000 8C 05 3C00 "
                   "AAAA 1111 38FF");
        QTest::newRow("cross trainer")
            << EquipmentType::crossTrainer
            << hex("FE3F00 2900 1111 102700 3C00 3700 E803 1111 2222 F1FF 0000 0C00 9CFF "
                   "1111 2C01000000 8C 05 3C00");
        QTest::newRow("cross trainer, short") << EquipmentType::crossTrainer << hex("FEFF");
    }

    void decodingDoesNotAllocate() {
        QFETCH(EquipmentType, type);
        QFETCH(QByteArray, value);
        const FTMSDataParsing* parser = dataParserFor(type);
        FitnessMetrics metrics;
        const long before = allocations.load();
        for (int i = 0; i < 100; ++i) {
            parser->parse(value, metrics);
        }
        QCOMPARE(allocations.load() - before, 0);
        QCOMPARE(metrics.equipmentType, type);
    }

    // Makes sure the counter sees allocations at all, so the test above cannot pass vacuously.
    void counterSeesAllocations() {
        const long before = allocations.load();
        auto* list = new QList<int>{1, 2, 3};
        delete list;
        QVERIFY(allocations.load() > before);
    }
};

QTEST_GUILESS_MAIN(TestDecodingAllocations)
#include "tst_decodingallocations.moc"
