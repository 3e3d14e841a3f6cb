#include "model/ParameterDescriptor.h"
#include "model/LibraryFunctionDefinition.h"
#include "model/ModuleDictionary.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace
{
struct FunctionWithDictionary
{
    ModuleDictionary dictionary;
    LibraryFunctionDefinition function;

    FunctionWithDictionary (int returnValues, int parameters, std::vector<uint16_t> words,
                            std::vector<std::vector<uint16_t>> entries = {})
    {
        dictionary.reserve ((int) entries.size());

        for (auto& e : entries)
            dictionary.add (ParameterWordList::fromWords (e));

        function.returnValueCount = returnValues;
        function.parameterCount = parameters;
        function.parameterWords = ParameterWordList::fromWords (words);
        function.dictionary = &dictionary;
    }

    ParameterDescriptor item (int n, ParameterNumbering numbering = ParameterNumbering::returnValuesFirst) const
    {
        ParameterDescriptor d;
        d.reached = true; // must be cleared by the lookup
        getFunctionParameter (function, numbering, n, d);
        return d;
    }
};

ParameterTypeCode type (uint16_t c, uint16_t g, uint16_t k)
{
    ParameterTypeCode t;
    t.typeClass = c;
    t.group = g;
    t.kind = k;
    return t;
}
} // namespace

TEST (ParameterDescriptorTest, DictionaryEscapeStandsForItsEntry)
{
    std::vector<std::vector<uint16_t>> entries{ {}, {}, {}, { 4, 0, 10, 4, 1, 64 } };
    FunctionWithDictionary f (0, 2, { 0xFFFF, 3 }, entries);

    EXPECT_TRUE (isIndexParamType (f.item (0).type));
    EXPECT_TRUE (f.item (0).reached);
    EXPECT_TRUE (isFrequencyHzParamType (f.item (1).type));

    const auto beyond = f.item (2);
    EXPECT_FALSE (beyond.reached);
    EXPECT_EQ (beyond.type.typeClass, 0);
    EXPECT_FALSE (f.item (-1).reached);
}

TEST (ParameterDescriptorTest, VariableItemsSpanTheirBytesAndReadInFileOrder)
{
    // Class 21 with five data bytes 'a'..'e': 2 + 5/2 = 4 words.
    FunctionWithDictionary f (
        0, 2, { 21, (uint16_t) ('a' << 8 | 5), (uint16_t) ('c' << 8 | 'b'), (uint16_t) ('e' << 8 | 'd'), 4, 1, 131 });

    const auto text = f.item (0);
    ASSERT_TRUE (text.reached);
    EXPECT_TRUE (isParamClass21 (text.type));
    EXPECT_EQ (text.length, 5);
    EXPECT_EQ (std::string ((const char*) text.data, text.length), "abcde");
    EXPECT_TRUE (isRatioParamType (f.item (1).type));
}

TEST (ParameterDescriptorTest, ClassFifteenIsVariableOnlyInsideTheDictionary)
{
    // In a function's own list: a fixed item 15/1/2, then 4/0/18.
    FunctionWithDictionary own (0, 2, { 15, 1, 2, 4, 0, 18 });
    EXPECT_EQ (own.item (0).type.group, 1);
    EXPECT_TRUE (isOnOffParamType (own.item (1).type));

    // In a dictionary entry: L = 1 makes a two-word item, and 4/0/18 follows.
    FunctionWithDictionary viaDictionary (0, 2, { 0xFFFF, 0 }, { { 15, 0x0701, 4, 0, 18 } });
    EXPECT_EQ (viaDictionary.item (0).length, 1);
    EXPECT_EQ (viaDictionary.item (0).data[0], 7);
    EXPECT_TRUE (isOnOffParamType (viaDictionary.item (1).type));
}

TEST (ParameterDescriptorTest, ParametersAreCountedAfterTheReturnValues)
{
    FunctionWithDictionary f (1, 2, { 4, 2, 0, 4, 2, 1, 4, 0, 10 });

    EXPECT_TRUE (isDspIdArgType (f.item (0).type));
    EXPECT_TRUE (isProcessIdArgType (f.item (0, ParameterNumbering::parametersOnly).type));
    EXPECT_TRUE (isIndexParamType (f.item (1, ParameterNumbering::parametersOnly).type));
    EXPECT_TRUE (f.function.hasIndexParameter());

    FunctionWithDictionary none (0, 0, {});
    EXPECT_FALSE (none.item (0).reached);
    EXPECT_FALSE (none.function.hasIndexParameter());
}

TEST (ParameterDescriptorTest, DamagedWordListsEndTheWalkWithoutReadingOutside)
{
    // An entry that refers to itself, an escape past the dictionary, an escape
    // with no index word, a variable item longer than its list.
    FunctionWithDictionary selfReference (0, 1, { 0xFFFF, 0, 4, 0, 10 }, { { 0xFFFF, 0 } });
    EXPECT_TRUE (isIndexParamType (selfReference.item (0).type));

    FunctionWithDictionary outOfRange (0, 1, { 0xFFFF, 7, 4, 1, 128 });
    EXPECT_TRUE (isGainDbParamType (outOfRange.item (0).type));

    FunctionWithDictionary danglingEscape (0, 1, { 0xFFFF });
    EXPECT_FALSE (danglingEscape.item (0).reached);

    FunctionWithDictionary longVariable (0, 2, { 22, 0x00FF, 4, 0, 10 });
    EXPECT_FALSE (longVariable.item (0).reached);
    EXPECT_FALSE (longVariable.item (1).reached);

    FunctionWithDictionary shortFixed (0, 2, { 4, 0, 10, 4, 0 });
    EXPECT_TRUE (shortFixed.item (0).reached);
    EXPECT_FALSE (shortFixed.item (1).reached);

    // A damaged item inside a dictionary entry is not taken for a later one.
    FunctionWithDictionary damagedEntry (0, 2, { 0xFFFF, 0, 4, 1, 64 }, { { 4, 0, 10, 4 } });
    EXPECT_TRUE (isIndexParamType (damagedEntry.item (0).type));
    EXPECT_FALSE (damagedEntry.item (1).reached);
}

TEST (ParameterDescriptorTest, ParameterFlagsCountFromTheMostSignificantUsedBit)
{
    LibraryFunctionDefinition f;
    f.parameterCount = 3;
    f.parameterFlagMask = 0b100;

    EXPECT_TRUE (isFunctionParameterFlagged (f, 0));
    EXPECT_FALSE (isFunctionParameterFlagged (f, 2));
    EXPECT_FALSE (isFunctionParameterFlagged (f, 3));  // no such parameter
    EXPECT_FALSE (isFunctionParameterFlagged (f, -1)); // no such parameter

    f.parameterCount = 200; // more parameters than the mask has bits
    f.parameterFlagMask = 0xFFFFFFFF;
    EXPECT_FALSE (isFunctionParameterFlagged (f, 0));
    EXPECT_TRUE (isFunctionParameterFlagged (f, 199));
}

TEST (ParameterDescriptorTest, EveryTypeTestAcceptsExactlyItsCodes)
{
    struct Case
    {
        bool (*test) (const ParameterTypeCode&);
        std::vector<ParameterTypeCode> accepted;
    };

    const std::vector<Case> cases{
        { isDspIdArgType, { type (4, 2, 0) } },
        { isProcessIdArgType, { type (4, 2, 1) } },
        { isUpdateCoeffFuncArgType, { type (4, 2, 6) } },
        { isBiquadObjectArgType, { type (4, 2, 7) } },
        { isParamTypeCode_4_2_5, { type (4, 2, 5) } },
        { isParamTypeCode_4_0_13to15, { type (4, 0, 13), type (4, 0, 14), type (4, 0, 15) } },
        { isParamTypeCode_12_0_0, { type (12, 0, 0) } },
        { isParamTypeCode_12_0_7, { type (12, 0, 7) } },
        { isParamTypeCode_4_0_1, { type (4, 0, 1) } },
        { isParamTypeCode_4_0_2, { type (4, 0, 2) } },
        { isParamTypeCode_4_0_22, { type (4, 0, 22) } },
        { isParamTypeCode_4_0_20, { type (4, 0, 20) } },
        { isParamTypeCode_4_0_16, { type (4, 0, 16) } },
        { isOnOffParamType, { type (4, 0, 18) } },
        { isIndexParamType, { type (4, 0, 10) } },
        { isGainDbParamType, { type (4, 1, 128) } },
        { isLevelDbParamType, { type (4, 1, 130), type (12, 1, 130) } },
        { isRange16383ParamType, { type (4, 1, 129) } },
        { isFrequencyHzParamType, { type (4, 1, 64), type (12, 1, 64) } },
        { isRatioParamType, { type (4, 1, 131) } },
        { isTimeMsParamType, { type (4, 1, 0), type (4, 1, 3), type (12, 1, 0), type (12, 1, 3) } },
        { isParamTypeCode_4_0_6, { type (4, 0, 6) } },
        { isParamTypeCode_4_0_5, { type (4, 0, 5) } },
        { isParamTypeCode_4_0_25, { type (4, 0, 25) } },
        { isParamClass21, { type (21, 0, 0), type (21, 3, 9) } },
        { isParamClass22, { type (22, 0, 0) } },
        { isParamTypeCode_4_0_4, { type (4, 0, 4) } },
        { isParamTypeCode_4_0_28, { type (4, 0, 28) } },
        { isParamTypeCode_4_0_255, { type (4, 0, 255) } },
    };

    // Every code any test accepts, plus near misses on each field.
    std::vector<ParameterTypeCode> probes{ type (0, 0, 0), type (4, 1, 200), type (12, 2, 0), type (5, 0, 10), type (4, 3, 10) };

    for (auto& c : cases)
        for (auto& t : c.accepted)
            probes.push_back (t);

    for (size_t i = 0; i < cases.size(); ++i)
    {
        for (auto& probe : probes)
        {
            bool expected = false;

            for (auto& t : cases[i].accepted)
                expected = expected || (t.typeClass == probe.typeClass &&
                                        (probe.typeClass >= 21 || (t.group == probe.group && t.kind == probe.kind)));

            EXPECT_EQ (cases[i].test (probe), expected)
                << "test " << i << " on " << probe.typeClass << "/" << probe.group << "/" << probe.kind;
        }
    }
}

TEST (ParameterDescriptorTest, LastParameterAnnotationComesFromTheFirstAcceptingTest)
{
    FunctionWithDictionary hz (0, 2, { 4, 0, 10, 12, 1, 64 });
    int slot = -1;
    const auto& a = getLastParameterAnnotation (hz.function, &slot);
    EXPECT_STREQ (a.text, ",valUnit=Hz,valprec=1");
    EXPECT_EQ (a.count, 2);
    EXPECT_EQ (slot, 16);

    FunctionWithDictionary unknown (0, 1, { 4, 1, 200 });
    EXPECT_STREQ (getLastParameterAnnotation (unknown.function, &slot).text, "");
    EXPECT_EQ (getLastParameterAnnotation (unknown.function).count, 1);
    EXPECT_EQ (slot, 0);

    FunctionWithDictionary ms (1, 1, { 4, 0, 10, 4, 1, 3 });
    EXPECT_EQ (getLastParameterAnnotation (ms.function, &slot).count, 10);
    EXPECT_EQ (slot, 18);
    EXPECT_STREQ (getParameterAnnotation (12).text, ",valscale=(x)?127:0");
    EXPECT_STREQ (getParameterAnnotation (15).text, ",min=0,max=16383, valUnit=, def=10,valprec=1");
}

//==============================================================================
namespace
{
// The walk as first written: every escape walked again, however often it was
// walked before. Far too slow for entries that refer to themselves many times
// over, but the plain statement of which item is which.
enum class ReferenceWalk
{
    goOn,
    reached,
    stop
};

ReferenceWalk referenceWalk (const ParameterWordList& list, bool isDictionaryEntry, const ModuleDictionary& dictionary, int n,
                             int& counter, ParameterDescriptor& out, int depth)
{
    for (int position = 0; position < list.size();)
    {
        if (list.word (position) == 0xFFFF)
        {
            if (position + 1 >= list.size())
                return ReferenceWalk::goOn;

            const auto* entry = dictionary.getEntry (list.word (position + 1));

            if (entry != nullptr && depth < 8)
            {
                const auto result = referenceWalk (*entry, true, dictionary, n, counter, out, depth + 1);

                if (result != ReferenceWalk::goOn)
                    return result;
            }

            position += 2;
            continue;
        }

        if (counter == n)
        {
            if (decodeParameterDescriptor (list, position, isDictionaryEntry, out) == 0)
                return ReferenceWalk::stop;

            out.reached = true;
            return ReferenceWalk::reached;
        }

        const int words = list.itemLength (position, isDictionaryEntry);

        if (words == 0)
            return ReferenceWalk::goOn;

        position += words;
        ++counter;
    }

    return ReferenceWalk::goOn;
}

ParameterDescriptor referenceItem (const FunctionWithDictionary& f, int n)
{
    ParameterDescriptor d;
    int counter = 0;
    referenceWalk (f.function.parameterWords, false, f.dictionary, n, counter, d, 0);
    return d;
}

// A short word list of escapes (to entries that exist or not), fixed items,
// variable items (some longer than the list) and stray words.
std::vector<uint16_t> randomWordList (std::mt19937& random, int entryCount, int maxEscapes)
{
    std::vector<uint16_t> words;
    int escapes = 0;

    for (int pieces = (int) (random() % 5); --pieces >= 0;)
    {
        switch (random() % 6)
        {
            case 0:
                if (escapes++ < maxEscapes)
                    words.insert (words.end(), { 0xFFFF, (uint16_t) (random() % (entryCount + 1)) });
                break;
            case 1: words.insert (words.end(), { 4, 0, (uint16_t) (random() % 12) }); break;
            case 2: words.insert (words.end(), { 12, 1, 64 }); break;
            case 3:
                words.insert (words.end(), { (uint16_t) (21 + random() % 2), (uint16_t) (0x4100 | (random() % 6)), 0x4342 });
                break;
            case 4: words.insert (words.end(), { 15, (uint16_t) (random() % 4) }); break;
            default: words.push_back ((uint16_t) (random() % 3 == 0 ? 0xFFFF : random() % 32)); break;
        }
    }

    return words;
}
} // namespace

TEST (ParameterDescriptorTest, EntriesThatReferToThemselvesAreSteppedOverNotWalkedAgain)
{
    // Forty escapes to itself: walked again at every level down to the
    // nesting cap, that is 40^8 walks, hours of work for 164 bytes (far
    // beyond the time CTest gives a test). modulesdef_bench measures the lookup.
    const std::vector<uint16_t> selfReferences = []
    {
        std::vector<uint16_t> words;

        for (int i = 0; i < 40; ++i)
            words.insert (words.end(), { 0xFFFF, 0 });

        return words;
    }();

    FunctionWithDictionary empty (0, 200, { 0xFFFF, 0, 4, 1, 64 }, { selfReferences });
    EXPECT_FALSE (empty.item (199).reached);
    EXPECT_TRUE (isFrequencyHzParamType (empty.item (0).type));
    EXPECT_FALSE (empty.function.hasIndexParameter());

    // With an item of its own the entry stands for 40^7 + ... items; every
    // one of them is the index item, however far out.
    auto withItem = selfReferences;
    withItem.insert (withItem.end(), { 4, 0, 10 });
    FunctionWithDictionary many (0, 200, { 0xFFFF, 0 }, { withItem });

    for (int n : { 0, 1, 39, 40, 1000, 123456789, std::numeric_limits<int>::max() - 1 })
        EXPECT_TRUE (isIndexParamType (many.item (n).type)) << n;

    // A chain of entries, each with forty escapes to the next.
    std::vector<std::vector<uint16_t>> chain;

    for (uint16_t e = 0; e < 9; ++e)
    {
        std::vector<uint16_t> words;

        for (int i = 0; i < 40; ++i)
            words.insert (words.end(), { 0xFFFF, (uint16_t) (e + 1) });

        chain.push_back (words);
    }

    FunctionWithDictionary chained (0, 100, { 0xFFFF, 0, 4, 2, 1 }, chain);
    EXPECT_TRUE (isProcessIdArgType (chained.item (0).type));
    EXPECT_FALSE (chained.item (1).reached);
}

TEST (ParameterDescriptorTest, SteppingOverEntriesFindsTheSameItemsAsWalkingThem)
{
    // Random dictionaries, with escapes to entries before, after and at
    // themselves and damaged items anywhere: every item number gives what the
    // plain walk gives, down to the byte the data points at.
    std::mt19937 random (9);

    for (int round = 0; round < 3000; ++round)
    {
        const int entryCount = 1 + (int) (random() % 4);
        std::vector<std::vector<uint16_t>> entries;

        for (int e = 0; e < entryCount; ++e)
            entries.push_back (randomWordList (random, entryCount, 2));

        FunctionWithDictionary f (0, 40, randomWordList (random, entryCount, 3), entries);
        bool indexParameter = false;

        // The function's parameters follow some return values.
        f.function.returnValueCount = round % 3;
        f.function.parameterCount = 40 - f.function.returnValueCount;

        for (int n = 0; n < 40; ++n)
        {
            const auto expected = referenceItem (f, n);
            indexParameter |= n >= f.function.returnValueCount && expected.reached && isIndexParamType (expected.type);
            const auto actual = f.item (n);

            ASSERT_EQ (actual.reached, expected.reached) << "round " << round << ", item " << n;
            ASSERT_EQ (actual.type.typeClass, expected.type.typeClass) << "round " << round << ", item " << n;
            ASSERT_EQ (actual.type.group, expected.type.group) << "round " << round << ", item " << n;
            ASSERT_EQ (actual.type.kind, expected.type.kind) << "round " << round << ", item " << n;
            ASSERT_EQ (actual.length, expected.length) << "round " << round << ", item " << n;
            ASSERT_EQ (actual.data, expected.data) << "round " << round << ", item " << n;
        }

        ASSERT_EQ (f.function.hasIndexParameter(), indexParameter) << "round " << round;
    }

    // Beyond the items a function's counts can name, parameters are still
    // found one by one.
    const std::vector<uint16_t> plainItems (3 * 550, 0);
    FunctionWithDictionary far (5, 600, { 0xFFFF, 0, 4, 0, 10 }, { plainItems });
    EXPECT_TRUE (far.function.hasIndexParameter());
    far.function.parameterCount = 545;
    EXPECT_FALSE (far.function.hasIndexParameter());
}
