#pragma once

#include <juce_core/juce_core.h>

#include <csignal>
#include <map>

namespace vxtest
{
// A small HTTP server of the test's own on 127.0.0.1 (a port the system
// picks), serving one answer per path from a thread of its own, one
// connection at a time. Unknown paths get 404. Every wait is bounded, and
// the server stops with the object.
class LocalHttpServer : private juce::Thread
{
public:
    struct Response
    {
        int status = 200;
        juce::MemoryBlock body;
        // Sends only this many bytes of the body (announcing all of it);
        // -1 sends all.
        int bytesToSend = -1;
        // Then holds the connection until the client lets go, rather than
        // closing it.
        bool holdAfterwards = false;
        // False: takes the request and never answers it.
        bool answers = true;
        // Above 0: the body goes out this many bytes at a time, one part
        // every stepIntervalMs, as a slow server sends it.
        int bytesPerStep = 0;
        int stepIntervalMs = 0;
        // False: the header leaves the length out; the connection's end
        // ends the body.
        bool announcesLength = true;
        // True: the body goes out in chunks (one per step), closed by the
        // empty chunk once all of it is sent.
        bool chunked = false;
    };

    static Response text (const juce::String& body, int status = 200)
    {
        Response response;
        response.status = status;
        response.body.append (body.toRawUTF8(), body.getNumBytesAsUTF8());
        return response;
    }

    LocalHttpServer() : juce::Thread ("Local HTTP server")
    {
        // A client that lets go while an answer still goes out makes the
        // next write fail, rather than end the test program.
        std::signal (SIGPIPE, SIG_IGN);

        if (listener.createListener (0, "127.0.0.1"))
            startThread();
    }

    ~LocalHttpServer() override
    {
        signalThreadShouldExit();
        stopThread (10000);
        listener.close();
    }

    bool isRunning() const { return isThreadRunning(); }

    // "http://127.0.0.1:<port>/".
    juce::String getAddress() const { return "http://127.0.0.1:" + juce::String (listener.getBoundPort()) + "/"; }

    void setResponse (const juce::String& path, Response response)
    {
        const juce::ScopedLock sl (lock);
        responses[path] = std::move (response);
    }

    // The paths asked for, in order.
    juce::StringArray getRequestedPaths() const
    {
        const juce::ScopedLock sl (lock);
        return requested;
    }

    // The paths whose answers went out whole, in order.
    juce::StringArray getAnsweredPaths() const
    {
        const juce::ScopedLock sl (lock);
        return answered;
    }

private:
    static constexpr int maxHoldMs = 20000;

    void run() override
    {
        while (! threadShouldExit())
        {
            if (listener.waitUntilReady (true, 50) != 1)
                continue;

            if (std::unique_ptr<juce::StreamingSocket> client{ listener.waitForNextConnection() })
                serve (*client);
        }
    }

    void serve (juce::StreamingSocket& client)
    {
        const auto path = readRequestPath (client);

        if (path.isEmpty())
            return;

        Response response;
        {
            const juce::ScopedLock sl (lock);
            requested.add (path);
            const auto found = responses.find (path);
            response = found != responses.end() ? found->second : text ("not here", 404);
        }

        if (! response.answers)
        {
            holdUntilClientLetsGo (client);
            return;
        }

        const auto framing = response.chunked ? juce::String ("\r\nTransfer-Encoding: chunked")
                             : response.announcesLength
                                 ? "\r\nContent-Length: " + juce::String ((juce::int64) response.body.getSize())
                                 : juce::String();
        const auto header = "HTTP/1.1 " + juce::String (response.status) + " " + (response.status < 300 ? "OK" : "Error") +
                            "\r\nContent-Type: application/octet-stream" + framing + "\r\nConnection: close\r\n\r\n";
        const auto toSend = response.bytesToSend < 0 ? (int) response.body.getSize()
                                                     : juce::jmin (response.bytesToSend, (int) response.body.getSize());

        if (! writeAll (client, header.toRawUTF8(), (int) header.getNumBytesAsUTF8()) || ! writeBody (client, response, toSend))
            return;

        if (toSend == (int) response.body.getSize())
        {
            const juce::ScopedLock sl (lock);
            answered.add (path);
        }

        if (response.holdAfterwards)
            holdUntilClientLetsGo (client);
    }

    bool writeBody (juce::StreamingSocket& client, const Response& response, int toSend)
    {
        const auto* body = static_cast<const char*> (response.body.getData());
        const auto step = response.bytesPerStep > 0 ? response.bytesPerStep : juce::jmax (1, toSend);

        for (int sent = 0; sent < toSend; sent += step)
        {
            if (sent > 0 && (wait (response.stepIntervalMs), threadShouldExit()))
                return false;

            if (! writePart (client, response, body + sent, juce::jmin (step, toSend - sent)))
                return false;
        }

        // The empty chunk: the body is whole.
        return ! response.chunked || toSend < (int) response.body.getSize() || writeAll (client, "0\r\n\r\n", 5);
    }

    bool writePart (juce::StreamingSocket& client, const Response& response, const char* part, int size) const
    {
        if (! response.chunked)
            return writeAll (client, part, size);

        const auto sizeLine = juce::String::toHexString (size) + "\r\n";
        return writeAll (client, sizeLine.toRawUTF8(), (int) sizeLine.length()) && writeAll (client, part, size) &&
               writeAll (client, "\r\n", 2);
    }

    // A socket takes what fits at a time; the rest follows as it drains.
    bool writeAll (juce::StreamingSocket& client, const void* data, int size) const
    {
        for (int sent = 0; sent < size;)
        {
            if (threadShouldExit() || client.waitUntilReady (false, 1000) != 1)
                return false;

            const auto written = client.write (static_cast<const char*> (data) + sent, size - sent);

            if (written <= 0)
                return false;

            sent += written;
        }

        return true;
    }

    juce::String readRequestPath (juce::StreamingSocket& client) const
    {
        juce::MemoryBlock request;
        const auto deadline = juce::Time::getMillisecondCounter() + 5000;

        while (request.toString().indexOf ("\r\n\r\n") < 0 && request.getSize() < 16384 &&
               juce::Time::getMillisecondCounter() < deadline && ! threadShouldExit())
        {
            const auto ready = client.waitUntilReady (true, 50);

            if (ready < 0)
                return {};

            if (ready == 0)
                continue;

            char buffer[1024];
            const auto received = client.read (buffer, (int) sizeof (buffer), false);

            if (received <= 0)
                return {};

            request.append (buffer, (size_t) received);
        }

        // "GET /path HTTP/1.1"
        return request.toString()
            .upToFirstOccurrenceOf ("\r\n", false, false)
            .fromFirstOccurrenceOf (" ", false, false)
            .upToFirstOccurrenceOf (" ", false, false);
    }

    void holdUntilClientLetsGo (juce::StreamingSocket& client) const
    {
        const auto deadline = juce::Time::getMillisecondCounter() + maxHoldMs;

        while (! threadShouldExit() && juce::Time::getMillisecondCounter() < deadline)
        {
            const auto ready = client.waitUntilReady (true, 50);

            if (ready < 0)
                return;

            if (ready == 1)
            {
                char ignored[256];

                if (client.read (ignored, (int) sizeof (ignored), false) <= 0)
                    return;
            }
        }
    }

    juce::StreamingSocket listener;
    juce::CriticalSection lock;
    std::map<juce::String, Response> responses;
    juce::StringArray requested, answered;
};
} // namespace vxtest
