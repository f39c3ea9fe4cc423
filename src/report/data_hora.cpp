// Carimbo de data e hora da listagem (e a forma ISO do resumo).
#include <cstdio>

#include "platform/plataforma.h"
#include "report/listagem.h"

namespace {

// Dígitos de v numa casa de largura w: alinhados à esquerda, cortados ou completados com brancos.
std::string casa(int v, std::size_t w) {
    std::string s = std::to_string(v);
    s.resize(w, ' ');
    return s;
}

std::string ajustar(std::string s, std::size_t w) {
    s.resize(w, ' ');
    return s;
}

} // namespace

std::string texto_dia_de(int dia, int mes, int ano) {
    return ajustar("(" + sem_brancos_finais(casa(dia, 2)) + "/" + sem_brancos_finais(casa(mes, 2)) + "/"
                   + casa(ano, 4) + ")", 12);
}

std::string texto_hora_de(int hora, int minuto, int segundo) {
    return ajustar(sem_brancos_finais(casa(hora, 2)) + ":" + sem_brancos_finais(casa(minuto, 2)) + ":"
                   + casa(segundo, 4), 8);
}

void data_e_hora(estado_execucao& e) {
    const data_local d = hora_local();
    e.texto_dia = texto_dia_de(d.dia, d.mes, d.ano);
    e.texto_hora = texto_hora_de(d.hora, d.minuto, d.segundo);
    char iso[40];
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", d.ano, d.mes, d.dia, d.hora, d.minuto, d.segundo);
    e.texto_iso = iso;
}
