#pragma once

// A published property of a QObject: a getter, a setter that signals only a
// real change, and a "<name>Changed" signal. Used inside the class body:
//   ORMIL_PROPERTY(bool, isRecording, setIsRecording, false);
#define ORMIL_PROPERTY(Type, name, Setter, initial) \
public:                                             \
    const Type& name() const {                      \
        return m_##name;                            \
    }                                               \
    void Setter(const Type& v) {                    \
        if (m_##name == v) return;                  \
        m_##name = v;                               \
        emit name##Changed();                       \
    }                                               \
    Q_SIGNAL void name##Changed();                  \
                                                    \
private:                                            \
    Type m_##name = initial
