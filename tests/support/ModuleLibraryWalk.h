#pragma once

#include "model/ModuleLibrary.h"
#include "model/ParameterDescriptor.h"

// Visits everything a read of "Modules.def" left in the library, as the
// generators, the NRPN list and the control-panel texts will: every item of
// every word list decoded (each data byte read), every lookup tried. Returns
// a sum of what it saw, so that nothing is optimised away; the sanitizers
// watch the reads.
namespace ModuleLibraryWalk
{
inline int walkFunction (const LibraryFunctionDefinition& f)
{
    int seen = 0;

    for (int n = -1; n < f.returnValueCount + f.parameterCount + 2; ++n)
    {
        for (auto numbering : { ParameterNumbering::returnValuesFirst, ParameterNumbering::parametersOnly })
        {
            ParameterDescriptor d;
            getFunctionParameter (f, numbering, n, d);

            if (d.reached)
            {
                ++seen;

                for (int i = 0; i < d.length; ++i)
                    seen += d.data[i] == 0xA5 ? 1 : 0;
            }
        }

        seen += isFunctionParameterFlagged (f, n) ? 1 : 0;
    }

    int slot = 0;
    seen += getLastParameterAnnotation (f, &slot).count + slot;
    seen += f.hasIndexParameter() ? 1 : 0;
    seen += (int) (f.name.size() + f.firstText.size() + f.secondText.size());

    for (auto entry : f.maskEntries)
        seen += (int) (entry & 1);

    return seen;
}

// Whether any parameter, looked up one by one, has the index type: what
// hasIndexParameter tells in one walk.
inline bool findsIndexParameterOneByOne (const LibraryFunctionDefinition& f)
{
    for (int n = 0; n < f.parameterCount; ++n)
    {
        ParameterDescriptor d;
        getFunctionParameter (f, ParameterNumbering::parametersOnly, n, d);

        if (d.reached && isIndexParamType (d.type))
            return true;
    }

    return false;
}

// Calls the function for every function record of the library.
template <typename Visit>
void forEachFunction (const ModuleLibrary& library, Visit&& visit)
{
    for (auto& m : library.getModules())
    {
        for (auto* list : { &m->moduleFunctions, &m->secondModuleFunctions })
            for (auto& f : *list)
                visit (*f);

        for (auto& p : m->getProcesses())
            for (auto* list : { &p->firstFunctions, &p->secondFunctions })
                for (auto& f : *list)
                    visit (*f);
    }
}

inline int walkDictionary (const ModuleDictionary& dictionary)
{
    int seen = 0;

    for (int e = 0; e < dictionary.size(); ++e)
    {
        for (int n = 0; n < 8; ++n)
        {
            ParameterDescriptor d;
            int counter = 0;

            if (expandParameterWordList (*dictionary.getEntry (e), true, &dictionary, n, counter, d, 1))
                seen += d.length > 0 ? d.data[d.length - 1] : 1;
        }
    }

    return seen;
}

inline int walkLibrary (const ModuleLibrary& library)
{
    int seen = walkDictionary (library.getDictionary());
    forEachFunction (library, [&seen] (const LibraryFunctionDefinition& f) { seen += walkFunction (f); });

    for (auto& m : library.getModules())
    {
        for (auto& p : m->getProcesses())
        {
            seen += p->hasGetPeakFunction() ? 1 : 0;
            seen += m->findProcessById (p->processId) != nullptr ? 1 : 0;

            for (auto& pin : p->pins)
                seen += (int) pin->name.size();
        }

        seen += library.findModuleById (m->moduleId) != nullptr ? 1 : 0;
    }

    for (int slot = 0; slot < library.getDspCount(); ++slot)
        if (auto* dsp = library.getDsp (slot))
            seen += library.getModuleOfDsp (dsp->dspId) != nullptr ? 1 : 0;

    for (int i = 0; i < library.getBusMaskCount(); ++i)
        seen += (*library.getBusMask (i))[15];

    return seen;
}
} // namespace ModuleLibraryWalk
