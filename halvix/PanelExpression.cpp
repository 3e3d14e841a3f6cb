#include "PanelExpression.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace
{
// A recursive-descent reader over the text; every rule returns false on a
// text it cannot read, and the depth is bounded so that no text can exhaust
// the stack.
class Reader
{
public:
    Reader (const std::string& source, double xValue) : text (source), x (xValue) {}

    bool readAll (double& result)
    {
        if (! readTernary (result))
            return false;

        skipBlanks();
        return position == text.size() && std::isfinite (result);
    }

private:
    static constexpr int maxDepth = 64;

    struct DepthGuard
    {
        explicit DepthGuard (int& d) : depth (d) { ++depth; }
        ~DepthGuard() { --depth; }
        int& depth;
    };

    void skipBlanks()
    {
        while (position < text.size() && (text[position] == ' ' || text[position] == '\t'))
            ++position;
    }

    bool accept (const char* token)
    {
        skipBlanks();
        const auto length = std::char_traits<char>::length (token);

        if (text.compare (position, length, token) != 0)
            return false;

        position += length;
        return true;
    }

    bool readTernary (double& result)
    {
        const DepthGuard guard (depth);

        if (depth > maxDepth || ! readComparison (result))
            return false;

        if (! accept ("?"))
            return true;

        double whenTrue = 0, whenFalse = 0;

        if (! readTernary (whenTrue) || ! accept (":") || ! readTernary (whenFalse))
            return false;

        result = result != 0.0 ? whenTrue : whenFalse;
        return true;
    }

    bool readComparison (double& result)
    {
        if (! readSum (result))
            return false;

        static const char* const operators[] = { ">=", "<=", "==", "!=", ">", "<" };

        for (int i = 0; i < 6; ++i)
        {
            if (accept (operators[i]))
            {
                double right = 0;

                if (! readSum (right))
                    return false;

                const bool outcomes[] = { result >= right, result <= right, result == right,
                                          result != right, result > right,  result < right };
                result = outcomes[i] ? 1.0 : 0.0;
                return true;
            }
        }

        return true;
    }

    bool readSum (double& result)
    {
        if (! readProduct (result))
            return false;

        for (;;)
        {
            double right = 0;

            if (accept ("+"))
            {
                if (! readProduct (right))
                    return false;

                result += right;
            }
            else if (accept ("-"))
            {
                if (! readProduct (right))
                    return false;

                result -= right;
            }
            else
            {
                return true;
            }
        }
    }

    bool readProduct (double& result)
    {
        if (! readPower (result))
            return false;

        for (;;)
        {
            double right = 0;

            if (accept ("*"))
            {
                if (! readPower (right))
                    return false;

                result *= right;
            }
            else if (accept ("/"))
            {
                if (! readPower (right))
                    return false;

                result /= right;
            }
            else
            {
                return true;
            }
        }
    }

    bool readPower (double& result)
    {
        const DepthGuard guard (depth);

        if (depth > maxDepth || ! readUnary (result))
            return false;

        if (! accept ("^"))
            return true;

        double exponent = 0;

        if (! readPower (exponent))
            return false;

        result = std::pow (result, exponent);
        return true;
    }

    bool readUnary (double& result)
    {
        const DepthGuard guard (depth);

        if (depth > maxDepth)
            return false;

        if (accept ("-"))
        {
            if (! readUnary (result))
                return false;

            result = -result;
            return true;
        }

        if (accept ("+"))
            return readUnary (result);

        return readPrimary (result);
    }

    bool readPrimary (double& result)
    {
        skipBlanks();

        if (position >= text.size())
            return false;

        if (accept ("("))
            return readTernary (result) && accept (")");

        const auto c = text[position];

        if (std::isdigit ((unsigned char) c) || c == '.')
            return readNumber (result);

        if (std::isalpha ((unsigned char) c))
            return readName (result);

        return false;
    }

    bool readNumber (double& result)
    {
        const auto* start = text.c_str() + position;
        char* end = nullptr;
        result = std::strtod (start, &end);

        if (end == start)
            return false;

        position += (size_t) (end - start);
        return true;
    }

    bool readName (double& result)
    {
        const auto start = position;

        while (position < text.size() && (std::isalnum ((unsigned char) text[position]) || text[position] == '_'))
            ++position;

        const auto name = text.substr (start, position - start);

        if (name == "x" || name == "X")
        {
            result = x;
            return true;
        }

        double arguments[2] = {};
        int count = 0;

        if (! accept ("("))
            return false;

        if (! accept (")"))
        {
            do
            {
                if (count == 2 || ! readTernary (arguments[count++]))
                    return false;
            } while (accept (","));

            if (! accept (")"))
                return false;
        }

        return applyFunction (name, arguments, count, result);
    }

    static bool applyFunction (const std::string& name, const double* a, int count, double& result)
    {
        if (count == 1)
        {
            if (name == "sqrt")
                result = std::sqrt (a[0]);
            else if (name == "abs")
                result = std::abs (a[0]);
            else if (name == "exp")
                result = std::exp (a[0]);
            else if (name == "log")
                result = std::log (a[0]);
            else if (name == "log10")
                result = std::log10 (a[0]);
            else if (name == "floor")
                result = std::floor (a[0]);
            else if (name == "ceil")
                result = std::ceil (a[0]);
            else if (name == "round")
                result = std::round (a[0]);
            else
                return false;

            return true;
        }

        if (count == 2)
        {
            if (name == "pow")
                result = std::pow (a[0], a[1]);
            else if (name == "min")
                result = std::min (a[0], a[1]);
            else if (name == "max")
                result = std::max (a[0], a[1]);
            else
                return false;

            return true;
        }

        return false;
    }

    const std::string& text;
    const double x;
    size_t position = 0;
    int depth = 0;
};
} // namespace

bool PanelExpression::evaluate (const juce::String& text, double x, double& result)
{
    const auto source = text.toStdString();
    double value = 0;

    if (! Reader (source, x).readAll (value))
        return false;

    result = value;
    return true;
}

double PanelExpression::evaluateOr (const juce::String& text, double fallback)
{
    auto value = fallback;
    return evaluate (text, 0.0, value) ? value : fallback;
}
