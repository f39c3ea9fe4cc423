#pragma once

#include <string>

#include "run/estado.h"

// Texto UTF-8 do código-fonte para Latin-1 (um byte por caractere).
std::string latin1(const char* utf8);

// Campos de largura fixa da listagem.
std::string inteiro(long v, int w);
std::string cientifico(double v, int w, int d);
std::string fixo(double v, int w, int d);
std::string texto_simples(const std::string& s);

void data_e_hora(estado_execucao& e);
std::string texto_dia_de(int dia, int mes, int ano);
std::string texto_hora_de(int hora, int minuto, int segundo);

// Blocos da listagem, acrescentados a saida; cada linha termina em CR LF.
void escrever_dados(const estado_execucao& e, std::string& saida);
void escrever_campo_T(const double* T, int nyk, int nxk, int nxyk, std::string& saida);
std::string montar_listagem(const estado_execucao& e);

// Grava o conteúdo em arquivo por meio de um temporário no mesmo diretório, renomeado no fim.
void gravar_listagem(const std::string& arquivo, const std::string& conteudo);
