#include "app/CutOffConnection.h"

namespace
{
constexpr int maxRedirects = 5;
} // namespace

CutOffConnection::CutOffConnection (juce::URL serverAddress, int timeout)
    : address (std::move (serverAddress)), timeoutMs (timeout)
{
}

bool CutOffConnection::connect()
{
    {
        const juce::ScopedLock sl (lock);

        if (cutOffFlag)
            return false;

        stream = std::make_unique<juce::WebInputStream> (address, false);
        stream->withConnectionTimeout (timeoutMs).withNumRedirectsToFollow (maxRedirects);
    }

    if (stream->connect (nullptr))
        status = stream->getStatusCode();

    return status > 0 && ! isCutOff();
}

void CutOffConnection::cutOff()
{
    const juce::ScopedLock sl (lock);
    cutOffFlag = true;

    if (stream != nullptr)
        stream->cancel();
}

bool CutOffConnection::isCutOff() const
{
    const juce::ScopedLock sl (lock);
    return cutOffFlag;
}
