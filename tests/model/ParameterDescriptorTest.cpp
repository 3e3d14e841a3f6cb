#include "model/ParameterDescriptor.h"
#include "model/LibraryFunctionDefinition.h"
#include "model/ModuleDictionary.h"

#include <gtest/gtest.h>

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
