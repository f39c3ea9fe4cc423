// Cronômetro das fases de uma solução (--timing): mede em volta das chamadas do ciclo, nunca dentro dos núcleos.
#pragma once

#include "state/cifras.h"

// Enquanto vive, soma o tempo de relógio à fase do nível; com tempos nulo não lê relógio algum.
class cronometro_fase {
public:
    cronometro_fase(tempos_fases* tempos, int nivel, fase_tempo fase);
    ~cronometro_fase();
    cronometro_fase(const cronometro_fase&) = delete;
    cronometro_fase& operator=(const cronometro_fase&) = delete;

private:
    tempos_fases* tempos_;
    int nivel_;
    fase_tempo fase_;
    double inicio_ = 0.0;
};

/// Tempos zerados de nm níveis (índices 1..nm).
void preparar_tempos(tempos_fases& t, int nm);
