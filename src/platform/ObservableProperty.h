#pragma once

// Properties of a QObject with a getter, a setter and a "<name>Changed"
// signal, used inside the class body:
//   ORMIL_PUBLISHED(bool, isRecording, setIsRecording, false);
//   ORMIL_PROPERTY(qint64, currentKeyCode, setCurrentKeyCode, 61);
// A published property signals every assignment, also of an equal value, so
// an observer sees each time the state was set; ORMIL_PROPERTY signals only a
// real change.
#define ORMIL_OBSERVABLE_(Type, name, Setter, initial, signalEqual) \
public:                                                             \
    const Type& name() const {                                      \
        return m_##name;                                            \
    }                                                               \
    void Setter(const Type& v) {                                    \
        if (!(signalEqual) && m_##name == v) return;                \
        m_##name = v;                                               \
        emit name##Changed();                                       \
    }                                                               \
    Q_SIGNAL void name##Changed();                                  \
                                                                    \
private:                                                            \
    Type m_##name = initial

#define ORMIL_PROPERTY(Type, name, Setter, initial) \
    ORMIL_OBSERVABLE_(Type, name, Setter, initial, false)
#define ORMIL_PUBLISHED(Type, name, Setter, initial) \
    ORMIL_OBSERVABLE_(Type, name, Setter, initial, true)
