#!/usr/bin/perl
# Makes a fixed-address copy of the 32-bit Wine loader, for runs through
# qemu-i386 (scripts/wine-setup.sh).
#
# usage: scripts/wine-fixed-loader.pl LOADER COPY
#
# Debian's 32-bit loader is a position-independent executable. qemu-i386
# places such a program low in the 32-bit address space, where it takes the
# address 0x400000 that Windows programs without relocations (installers
# made with NSIS, among others) must be loaded at; without Wine's preloader
# nothing keeps that address free, and Wine cannot map such a program
# ("failed to create main module", status c0000018). The copy is the same
# code as an ordinary executable linked at 0x7bf00000, the address Wine's own
# builds give their loader, far from any Windows program: everything that
# holds an address of the program itself is moved by that base (the header's
# entry point, the program headers, the dynamic entries, the relocations and
# the words they patch, the dynamic symbols, the first GOT entry, the section
# addresses) and the PIE flag is dropped. The code itself addresses its data
# relative to itself, so it runs unchanged.
use strict;
use warnings;

my $BASE = 0x7bf00000;
@ARGV == 2 or die "usage: $0 LOADER COPY\n";
my ($in, $out) = @ARGV;

open(my $file, '<:raw', $in) or die "$in: $!\n";
my $elf = do { local $/; <$file> };
close $file;

sub word { unpack 'V', substr($elf, $_[0], 4) }
sub half { unpack 'v', substr($elf, $_[0], 2) }
sub put { substr($elf, $_[0], 4) = pack 'V', $_[1] & 0xffffffff }
sub moved { put $_[0], word($_[0]) + $BASE }

substr($elf, 0, 6) eq "\x7fELF\x01\x01" or die "$in: not a 32-bit little-endian ELF file\n";
half(18) == 3 or die "$in: not an i386 program\n";
half(16) == 3 or die "$in: not position-independent (type " . half(16) . ")\n";

my ($phoff, $shoff) = (word(28), word(32));
my ($phentsize, $phnum, $shentsize, $shnum) = (half(42), half(44), half(46), half(48));

# The file offset of a link-time address, from the loadable segments.
my @loads;
my ($dynamic, $dynamic_size);
for my $i (0 .. $phnum - 1) {
  my $ph = $phoff + $i * $phentsize;
  my ($type, $offset, $vaddr, $filesz) = (word($ph), word($ph + 4), word($ph + 8), word($ph + 16));
  push @loads, [$vaddr, $offset, $filesz] if $type == 1;
  ($dynamic, $dynamic_size) = ($offset, $filesz) if $type == 2;
  next if $type == 0x6474e551;  # the stack's flags: no address
  moved($ph + 8);
  moved($ph + 12);
}
defined $dynamic or die "$in: no dynamic section\n";
sub at {
  my ($address) = @_;
  for (@loads) {
    my ($vaddr, $offset, $filesz) = @$_;
    return $offset + $address - $vaddr if $address >= $vaddr && $address < $vaddr + $filesz;
  }
  die sprintf("%s: address 0x%x is in no part of the file\n", $in, $address);
}

# Dynamic entries: the ones that hold addresses move; DF_1_PIE goes.
my %address_tags = map { $_ => 1 } (3, 4, 5, 6, 7, 12, 13, 17, 23, 25, 26, 32, 34, 36,
  0x6ffffef5, 0x6ffffff0, 0x6ffffffc, 0x6ffffffe);
my %dyn;
for (my $entry = $dynamic; $entry < $dynamic + $dynamic_size; $entry += 8) {
  my ($tag, $value) = (word($entry), word($entry + 4));
  last if $tag == 0;
  $dyn{$tag} = $value;
  moved($entry + 4) if $address_tags{$tag};
  put($entry + 4, $value & ~0x08000000) if $tag == 0x6ffffffb;
}
!defined $dyn{7} && !defined $dyn{36} or die "$in: RELA or RELR relocations are not handled\n";
!defined $dyn{20} || $dyn{20} == 17 or die "$in: PLT relocations are not REL\n";

# Relocations: each moves to the new address of the word it patches; a
# relative one (and the lazy-binding stub address of a PLT slot) stores an
# address of the program in that word, which moves too. The others take a
# symbol's address at run time.
my %word_moves = (8 => 1, 7 => 1, 42 => 1);  # RELATIVE, JUMP_SLOT, IRELATIVE
my %symbol_only = (1 => 1, 6 => 1);          # 32 (addend kept), GLOB_DAT
for my $table ([$dyn{17}, $dyn{18}], [$dyn{23}, $dyn{2}]) {
  my ($start, $size) = @$table;
  next unless defined $start && $size;
  my $offset = at($start);
  for (my $rel = $offset; $rel < $offset + $size; $rel += 8) {
    my ($where, $type) = (word($rel), word($rel + 4) & 0xff);
    $word_moves{$type} || $symbol_only{$type} or die "$in: relocation type $type is not handled\n";
    moved(at($where)) if $word_moves{$type};
    moved($rel);
  }
}

# The first GOT entry holds the link-time address of the dynamic section.
moved(at($dyn{3})) if defined $dyn{3};

# Section addresses, and the dynamic symbols the program defines.
for my $i (0 .. $shnum - 1) {
  my $sh = $shoff + $i * $shentsize;
  my ($type, $addr, $offset, $size) = (word($sh + 4), word($sh + 12), word($sh + 16), word($sh + 20));
  moved($sh + 12) if $addr != 0;
  next unless $type == 11;  # SHT_DYNSYM
  for (my $symbol = $offset; $symbol < $offset + $size; $symbol += 16) {
    my $section = half($symbol + 14);
    moved($symbol + 4) if $section != 0 && $section < 0xff00;
  }
}

substr($elf, 16, 2) = pack 'v', 2;  # ET_EXEC
moved(24);                          # the entry point

open($file, '>:raw', $out) or die "$out: $!\n";
print $file $elf;
close $file or die "$out: $!\n";
chmod 0755, $out;
